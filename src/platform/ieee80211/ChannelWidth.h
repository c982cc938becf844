#pragma once
// The BSS bandwidth its operation elements announce, as a platform width code.

#include <cstdint>
#include <vector>

#include "platform/ieee80211/ElementWalker.h"

namespace netmoth::ieee80211 {

// The widest width any operation element announces; 20 MHz without one. The
// platform has no 320 MHz code, so 320 MHz reads as 160.
std::int64_t channelWidthFor(std::int64_t band, const std::vector<Element>& elements);

}  // namespace netmoth::ieee80211
