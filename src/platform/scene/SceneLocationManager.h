#pragma once
// Location permission as the scene sets it.

#include <memory>

#include "platform/Location.h"
#include "platform/RunLoop.h"
#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

class SceneLocationManager final : public platform::LocationManager {
public:
    SceneLocationManager(LocationSpec spec, platform::RunLoop& runLoop);

    // The first non-null delegate schedules one callback when the scene
    // delivers; it goes to the delegate set at the time it runs.
    void setDelegate(platform::LocationManagerDelegate* delegate) override;
    void requestWhenInUseAuthorization() override {}
    std::int32_t authorizationStatus() const override { return spec_.authorizationStatus; }

private:
    void deliver();

    LocationSpec spec_;
    platform::RunLoop& runLoop_;
    platform::LocationManagerDelegate* delegate_ = nullptr;
    bool scheduled_ = false;
    // A posted callback finds the manager through this, and nothing once it is gone.
    std::shared_ptr<SceneLocationManager*> self_;
};

}  // namespace netmoth::scene
