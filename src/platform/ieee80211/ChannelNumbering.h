#pragma once
// Band and channel number from a centre frequency, as the kernel numbers them.

#include <cstdint>

namespace netmoth::ieee80211 {

// Platform band code; band::kUnknown outside the 2.4, 5 and 6 GHz channel ranges.
std::int64_t bandFor(std::uint32_t frequencyMHz);

// Channel number within the band bandFor gives; 0 when that band is unknown.
std::int64_t channelNumberFor(std::uint32_t frequencyMHz);

}  // namespace netmoth::ieee80211
