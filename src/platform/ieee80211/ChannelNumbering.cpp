#include "platform/ieee80211/ChannelNumbering.h"

#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::uint32_t kChannel14 = 2484;
constexpr std::uint32_t k6GHzChannel2 = 5935;

bool within(std::uint32_t value, std::uint32_t low, std::uint32_t high) { return value >= low && value <= high; }

}  // namespace

std::int64_t bandFor(std::uint32_t f) {
    if (within(f, 2412, 2472) || f == kChannel14) return band::k2GHz;
    if (within(f, 4910, 5895)) return band::k5GHz;
    if (f == k6GHzChannel2 || within(f, 5955, 7115)) return band::k6GHz;
    return band::kUnknown;
}

std::int64_t channelNumberFor(std::uint32_t f) {
    switch (bandFor(f)) {
        case band::k2GHz:
            return f == kChannel14 ? 14 : (f - 2407) / 5;
        // The 4.9 GHz public-safety channels count from 4000 MHz.
        case band::k5GHz:
            return f < 5000 ? (f - 4000) / 5 : (f - 5000) / 5;
        case band::k6GHz:
            return f == k6GHzChannel2 ? 2 : (f - 5950) / 5;
        default:
            return 0;
    }
}

}  // namespace netmoth::ieee80211
