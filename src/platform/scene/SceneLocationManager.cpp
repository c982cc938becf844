#include "platform/scene/SceneLocationManager.h"

namespace netmoth::scene {

SceneLocationManager::SceneLocationManager(LocationSpec spec, platform::RunLoop& runLoop)
    : spec_(spec), runLoop_(runLoop), self_(std::make_shared<SceneLocationManager*>(this)) {}

void SceneLocationManager::setDelegate(platform::LocationManagerDelegate* delegate) {
    delegate_ = delegate;
    if (delegate == nullptr || !spec_.delivers || scheduled_) return;
    scheduled_ = true;
    runLoop_.post([weak = std::weak_ptr<SceneLocationManager*>(self_)] {
        if (const auto self = weak.lock()) (*self)->deliver();
    });
}

void SceneLocationManager::deliver() {
    if (delegate_ != nullptr) delegate_->locationManagerDidChangeAuthorization(*this);
}

}  // namespace netmoth::scene
