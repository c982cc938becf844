#pragma once
// Location permission on Linux: nothing withholds Wi-Fi facts from a
// program, so the answer is always "authorized".

#include <memory>

#include "platform/Location.h"
#include "platform/RunLoop.h"

namespace netmoth::linux_backend {

class LinuxLocationManager final : public platform::LocationManager {
public:
    static constexpr std::int32_t kAuthorized = 3;

    explicit LinuxLocationManager(platform::RunLoop& runLoop);

    // The first non-null delegate gets one callback through the run loop.
    void setDelegate(platform::LocationManagerDelegate* delegate) override;
    void requestWhenInUseAuthorization() override {}
    std::int32_t authorizationStatus() const override { return kAuthorized; }

private:
    void announce();

    platform::RunLoop& runLoop_;
    platform::LocationManagerDelegate* delegate_ = nullptr;
    bool announced_ = false;
    // Lets a posted callback see whether this manager still exists.
    std::shared_ptr<LinuxLocationManager*> self_;
};

}  // namespace netmoth::linux_backend
