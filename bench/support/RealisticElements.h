#pragma once
// Beacon contents as access points in a dense venue send them, so benchmarks
// feed the decoder and the writer what a real scan carries (about 150 bytes
// of elements).

#include <string_view>

#include "ieee80211/Bss.h"

namespace netmoth::bench {

enum class Band { TwoGHz, FiveGHz };

// 2.4 GHz: an 802.11b/g/n AP on channel 6, 20 MHz. 5 GHz: an 802.11a/n/ac AP
// on channel 36, 80 MHz. Both offer WPA2-PSK and WPA3-SAE and WMM. The AP as
// a radio-level scan reports it: its frequency, its capability field (ESS,
// privacy, short slot) and its elements, whose SSID element holds ssid (an
// empty one is the zero-length element of a hidden network). No BSSID and no
// name beside the element: callers add what they need.
ieee80211::RadioFacts realisticBss(Band band, std::string_view ssid);

}  // namespace netmoth::bench
