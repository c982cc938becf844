#include "platform/FixedLocationManager.h"

namespace netmoth::platform {

FixedLocationManager::FixedLocationManager(RunLoop& runLoop, std::int32_t status, bool delivers)
    : runLoop_(runLoop), status_(status), delivers_(delivers), self_(std::make_shared<FixedLocationManager*>(this)) {}

void FixedLocationManager::setDelegate(LocationManagerDelegate* delegate) {
    delegate_ = delegate;
    if (delegate == nullptr || !delivers_ || scheduled_) return;
    scheduled_ = true;
    runLoop_.post([weak = std::weak_ptr<FixedLocationManager*>(self_)] {
        if (const auto self = weak.lock()) (*self)->announce();
    });
}

void FixedLocationManager::announce() {
    if (delegate_ != nullptr) delegate_->locationManagerDidChangeAuthorization(*this);
}

}  // namespace netmoth::platform
