#pragma once
// What a beacon or probe response tells about a BSS, decoded from its
// information elements. Pure functions: bytes in, values out; malformed input
// never reads past the buffer.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/WiFi.h"

namespace netmoth::ieee80211 {

using ElementBytes = std::span<const std::uint8_t>;

// Bit n set: the platform security value n is supported (values 0..12).
std::uint32_t securityMask(std::uint16_t capability, ElementBytes elements);

// Bit n set: the platform PHY mode n is supported (1 a, 2 b, 3 g, 4 n, 5 ac, 6 ax, 7 be).
std::uint32_t phyModeMask(std::uint32_t frequencyMHz, ElementBytes elements);

// Channel number and platform band/width codes from the frequency and the
// operation elements.
platform::WiFiChannel channelFor(std::uint32_t frequencyMHz, ElementBytes elements);

// Network name from SSID bytes: nullopt when empty or all NUL (hidden), else
// UTF-8, else Windows-1252, else nullopt.
std::optional<std::string> ssidText(ElementBytes ssidBytes);

// The SSID element's payload, decoded by ssidText; nullopt without one.
std::optional<std::string> ssidFromElements(ElementBytes elements);

}  // namespace netmoth::ieee80211
