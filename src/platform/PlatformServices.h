#pragma once
// What a backend supplies to the program: its Wi-Fi client, its location
// manager and the per-user store.

#include <memory>

#include "platform/Location.h"
#include "platform/RunLoop.h"
#include "platform/UserDefaults.h"
#include "platform/WiFi.h"

namespace netmoth::platform {

class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    // The one shared client; the same object on every call.
    virtual WiFiClient& sharedWiFiClient() = 0;
    // A new manager whose callbacks are delivered through runLoop.
    virtual std::unique_ptr<LocationManager> makeLocationManager(RunLoop& runLoop) = 0;
    virtual UserDefaults& standardUserDefaults() = 0;
};

}  // namespace netmoth::platform
