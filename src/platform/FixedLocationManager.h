#pragma once
// A location manager whose authorization never changes: it answers one fixed
// status and, when it delivers, announces it once through the run loop, as a
// platform's location service does after a delegate is set.

#include <memory>

#include "platform/Location.h"
#include "platform/RunLoop.h"

namespace netmoth::platform {

class FixedLocationManager final : public LocationManager {
public:
    FixedLocationManager(RunLoop& runLoop, std::int32_t status, bool delivers);

    // The first non-null delegate schedules the one callback; it goes to the
    // delegate set when it runs, and nowhere once the manager is gone.
    void setDelegate(LocationManagerDelegate* delegate) override;
    void requestWhenInUseAuthorization() override {}
    std::int32_t authorizationStatus() const override { return status_; }

private:
    void announce();

    RunLoop& runLoop_;
    const std::int32_t status_;
    const bool delivers_;
    LocationManagerDelegate* delegate_ = nullptr;
    bool scheduled_ = false;
    // A posted callback finds the manager through this, and nothing once it is gone.
    std::shared_ptr<FixedLocationManager*> self_;
};

}  // namespace netmoth::platform
