// The greatest PHY mode a BSS proves, from its band, rates and capability
// elements.

#include <algorithm>
#include <array>

#include "ieee80211/Elements.h"

namespace netmoth::ieee80211 {
namespace {

using wifi::PhyMode;

constexpr std::uint8_t kBasicRateBit = 0x80;
// Rates in units of 500 kb/s. Membership selectors (HT, VHT, SAE-H2E, ...)
// sit at 122..127 and so match neither list.
constexpr std::array<std::uint8_t, 4> kDsssRates = {2, 4, 11, 22};
constexpr std::array<std::uint8_t, 8> kOfdmRates = {12, 18, 24, 36, 48, 72, 96, 108};

bool anyRateIn(const Elements& elements, const auto& wanted) {
    return std::any_of(elements.rates.begin(), elements.rates.end(), [&](ByteView rates) {
        return std::any_of(rates.begin(), rates.end(), [&](std::uint8_t byte) {
            const auto rate = static_cast<std::uint8_t>(byte & ~kBasicRateBit);
            return std::find(wanted.begin(), wanted.end(), rate) != wanted.end();
        });
    });
}

}  // namespace

// Modes are numbered so that later generations compare greater, so the first
// proven from the top is the greatest. VHT on 2.4 GHz is a vendor extension,
// and 6 GHz BSSes are HE and later only: OFDM rates there are no sign of 11a.
std::optional<PhyMode> highestPhyModeFrom(std::uint32_t frequencyMHz, const Elements& elements) {
    const std::uint32_t band = bandMHzFor(frequencyMHz);
    if (elements.heCapabilities) return PhyMode::AX;
    if (band == kBand5GHz && elements.vhtCapabilities) return PhyMode::AC;
    if (elements.htCapabilities) return PhyMode::N;
    if (band == kBand2GHz && (elements.erp || anyRateIn(elements, kOfdmRates))) return PhyMode::G;
    if (band == kBand2GHz && anyRateIn(elements, kDsssRates)) return PhyMode::B;
    if (band == kBand5GHz && anyRateIn(elements, kOfdmRates)) return PhyMode::A;
    return std::nullopt;
}

}  // namespace netmoth::ieee80211
