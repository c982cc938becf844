#pragma once
// A BSS as the radio describes it (frequency, capability field, information
// elements) turned into the network an answer reports. The elements are
// walked once; every value is derived from that one walk.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "wifi/Values.h"

namespace netmoth::ieee80211 {

struct RadioFacts {
    std::optional<std::string> bssid;  // as the platform writes it
    std::optional<std::string> ssid;   // absent: taken from the SSID element
    std::int64_t signalDbm = 0;
    std::optional<std::uint32_t> frequencyMHz;  // absent: no channel, no PHY modes
    std::uint16_t capability = 0;               // the 802.11 capability information field
    std::optional<wifi::Bytes> elements;        // absent: no elements
};

// channel and PHY modes need the frequency; security comes from the
// capability's privacy bit and the RSN and WPA elements.
wifi::Network networkFrom(const RadioFacts& facts);

// Network name from SSID bytes: nullopt when empty or all NUL (hidden), else
// the bytes when they are UTF-8, else Windows-1252, else nullopt.
std::optional<std::string> ssidText(std::span<const std::uint8_t> ssidBytes);

}  // namespace netmoth::ieee80211
