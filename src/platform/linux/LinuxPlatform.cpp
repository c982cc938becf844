#include "platform/linux/LinuxPlatform.h"

#include "platform/FixedLocationManager.h"
#include "platform/linux/KernelLink.h"
#include "platform/linux/Nl80211Client.h"

namespace netmoth::linux_backend {

std::unique_ptr<platform::WiFiClient> makeNl80211Client(platform::Diagnostics& diagnostics) {
    return std::make_unique<Nl80211Client>(&KernelLink::open, diagnostics);
}

std::unique_ptr<platform::LocationManager> makeLinuxLocationManager(platform::RunLoop& runLoop) {
    // Nothing on Linux withholds Wi-Fi facts from a program: always authorized.
    constexpr std::int32_t kAuthorized = 3;
    return std::make_unique<platform::FixedLocationManager>(runLoop, kAuthorized, true);
}

}  // namespace netmoth::linux_backend
