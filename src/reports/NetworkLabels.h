#pragma once
// The security text and Wi-Fi type of one scanned network.

#include <cstdint>
#include <string>

#include "platform/WiFi.h"

namespace netmoth::reports {

// Labels of every supported security type, in the fixed order callers expect
// (personal before enterprise, Dynamic-WEP last), joined with ", ".
std::string supportedSecurityTypes(const platform::WiFiNetwork& network);

// The highest supported PHY mode; 4 (802.11n) when the platform confirms none.
std::int64_t supportedPHYModes(const platform::WiFiNetwork& network);

}  // namespace netmoth::reports
