#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/KernelLink.h"
#include "platform/linux/LinuxLocationManager.h"
#include "platform/linux/Nl80211Client.h"

namespace netmoth::linux_backend {

std::unique_ptr<platform::WiFiClient> makeNl80211Client() {
    return std::make_unique<Nl80211Client>(&KernelLink::open);
}

std::unique_ptr<platform::LocationManager> makeLinuxLocationManager(platform::RunLoop& runLoop) {
    return std::make_unique<LinuxLocationManager>(runLoop);
}

}  // namespace netmoth::linux_backend
