#pragma once
// Beacon contents as access points in a dense venue send them, so benchmarks
// feed the decoder and the writer what a real scan carries (about 150 bytes).

#include <cstdint>
#include <string_view>

#include "platform/WiFi.h"

namespace netmoth::bench {

enum class Band { TwoGHz, FiveGHz };

struct RadioFacts {
    std::uint32_t frequencyMHz;
    std::uint16_t capability;
};

// 2.4 GHz: an 802.11b/g/n AP on channel 6, 20 MHz. 5 GHz: an 802.11a/n/ac AP
// on channel 36, 80 MHz. Both offer WPA2-PSK and WPA3-SAE and WMM. An empty
// ssid gives the zero-length SSID element of a hidden network.
util::Bytes realisticElements(Band band, std::string_view ssid);

// The frequency and capability field (ESS, privacy, short slot) a scan of
// that AP reports.
RadioFacts realisticRadioFacts(Band band);

}  // namespace netmoth::bench
