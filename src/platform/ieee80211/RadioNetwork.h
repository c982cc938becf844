#pragma once
// A scanned BSS described the way the radio reports it (frequency, capability
// field, element bytes); everything the reports ask is derived from those once.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/WiFi.h"

namespace netmoth::ieee80211 {

struct RadioFacts {
    std::optional<std::string> bssid;  // lower-case "aa:bb:cc:dd:ee:ff"
    std::optional<std::string> ssid;   // already decoded; absent: hidden
    std::int64_t signalDbm = 0;
    std::optional<std::uint32_t> frequencyMHz;  // absent: no channel
    std::uint16_t capability = 0;               // the 802.11 capability information field
    std::optional<platform::Bytes> elements;    // information elements as received
};

// Implemented by the networks makeRadioNetwork builds, so a recorder can keep
// the facts themselves rather than what was derived from them.
class RadioDescribed {
public:
    virtual const RadioFacts& radioFacts() const = 0;

protected:
    ~RadioDescribed() = default;
};

// The network is also a RadioDescribed.
std::unique_ptr<platform::WiFiNetwork> makeRadioNetwork(RadioFacts facts);

}  // namespace netmoth::ieee80211
