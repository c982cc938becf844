#include "platform/linux/LinuxLocationManager.h"

namespace netmoth::linux_backend {

LinuxLocationManager::LinuxLocationManager(platform::RunLoop& runLoop)
    : runLoop_(runLoop), self_(std::make_shared<LinuxLocationManager*>(this)) {}

void LinuxLocationManager::setDelegate(platform::LocationManagerDelegate* delegate) {
    delegate_ = delegate;
    if (delegate == nullptr || announced_) return;
    announced_ = true;
    runLoop_.post([manager = std::weak_ptr<LinuxLocationManager*>(self_)] {
        if (auto alive = manager.lock()) (*alive)->announce();
    });
}

void LinuxLocationManager::announce() {
    // The delegate may have been cleared since the callback was posted.
    if (delegate_ != nullptr) delegate_->locationManagerDidChangeAuthorization(*this);
}

}  // namespace netmoth::linux_backend
