#pragma once
// The Linux backend's Wi-Fi client (nl80211) and location manager.

#include <memory>

#include "platform/Diagnostics.h"
#include "platform/Location.h"
#include "platform/RunLoop.h"
#include "platform/WiFi.h"

namespace netmoth::linux_backend {

// Talks to the kernel only when first asked; notes in diagnostics why the
// radio could not answer in full.
std::unique_ptr<platform::WiFiClient> makeNl80211Client(platform::Diagnostics& diagnostics);

std::unique_ptr<platform::LocationManager> makeLinuxLocationManager(platform::RunLoop& runLoop);

}  // namespace netmoth::linux_backend
