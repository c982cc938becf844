#pragma once
// The platform's numbering of security kinds, PHY modes, bands and widths,
// and the bit masks built from them (bit n stands for value n).

#include <cstdint>

namespace netmoth::ieee80211 {

namespace security {
inline constexpr int kNone = 0;
inline constexpr int kWep = 1;
inline constexpr int kWpaPsk = 2;
inline constexpr int kWpaWpa2Psk = 3;
inline constexpr int kWpa2Psk = 4;
inline constexpr int kWpaEap = 7;
inline constexpr int kWpaWpa2Eap = 8;
inline constexpr int kWpa2Eap = 9;
inline constexpr int kWpa3Sae = 11;
inline constexpr int kWpa3Eap = 12;
}  // namespace security

namespace phy {
inline constexpr int k11a = 1;
inline constexpr int k11b = 2;
inline constexpr int k11g = 3;
inline constexpr int k11n = 4;
inline constexpr int k11ac = 5;
inline constexpr int k11ax = 6;
inline constexpr int k11be = 7;
}  // namespace phy

namespace band {
inline constexpr std::int64_t kUnknown = 0;
inline constexpr std::int64_t k2GHz = 1;
inline constexpr std::int64_t k5GHz = 2;
inline constexpr std::int64_t k6GHz = 3;
}  // namespace band

namespace width {
inline constexpr std::int64_t k20MHz = 1;
inline constexpr std::int64_t k40MHz = 2;
inline constexpr std::int64_t k80MHz = 3;
inline constexpr std::int64_t k160MHz = 4;
}  // namespace width

constexpr std::uint32_t bitFor(int value) { return std::uint32_t{1} << value; }

constexpr bool maskHas(std::uint32_t mask, std::int64_t value) {
    return value >= 0 && value < 32 && ((mask >> value) & 1U) != 0;
}

}  // namespace netmoth::ieee80211
