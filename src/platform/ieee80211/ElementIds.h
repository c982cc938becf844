#pragma once
// Element, extension and suite numbers as the 802.11 standard assigns them.

#include <cstdint>

namespace netmoth::ieee80211 {

namespace element {
inline constexpr std::uint8_t kSsid = 0;
inline constexpr std::uint8_t kSupportedRates = 1;
inline constexpr std::uint8_t kDsParameterSet = 3;
inline constexpr std::uint8_t kErp = 42;
inline constexpr std::uint8_t kHtCapabilities = 45;
inline constexpr std::uint8_t kRsn = 48;
inline constexpr std::uint8_t kExtendedSupportedRates = 50;
inline constexpr std::uint8_t kHtOperation = 61;
inline constexpr std::uint8_t kVhtCapabilities = 191;
inline constexpr std::uint8_t kVhtOperation = 192;
inline constexpr std::uint8_t kVendorSpecific = 221;
inline constexpr std::uint8_t kExtension = 255;
}  // namespace element

namespace extension {
inline constexpr std::uint8_t kHeCapabilities = 35;
inline constexpr std::uint8_t kHeOperation = 36;
inline constexpr std::uint8_t kEhtOperation = 106;
inline constexpr std::uint8_t kEhtCapabilities = 108;
}  // namespace extension

constexpr std::uint32_t suiteSelector(std::uint32_t oui, std::uint8_t type) { return oui << 8 | type; }

inline constexpr std::uint32_t kOuiIeee80211 = 0x000FAC;
inline constexpr std::uint32_t kOuiMicrosoft = 0x0050F2;
// The pre-RSN WPA element is a Microsoft vendor element of type 1.
inline constexpr std::uint32_t kWpaVendorType = suiteSelector(kOuiMicrosoft, 1);

}  // namespace netmoth::ieee80211
