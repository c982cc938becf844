#pragma once
// The Linux backend's Wi-Fi client (nl80211) and location manager.

#include <memory>

#include "platform/Location.h"
#include "platform/RunLoop.h"
#include "platform/WiFi.h"

namespace netmoth::linux_backend {

// Talks to the kernel only when first asked.
std::unique_ptr<platform::WiFiClient> makeNl80211Client();

std::unique_ptr<platform::LocationManager> makeLinuxLocationManager(platform::RunLoop& runLoop);

}  // namespace netmoth::linux_backend
