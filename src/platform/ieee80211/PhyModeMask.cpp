// Which PHY modes a BSS offers, from its band, rates and capability elements.

#include <algorithm>
#include <array>

#include "platform/ieee80211/ChannelNumbering.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/ElementIds.h"
#include "platform/ieee80211/ElementWalker.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::uint8_t kBasicRateBit = 0x80;
// Rates in units of 500 kb/s. Membership selectors (HT, VHT, SAE-H2E, ...)
// sit at 122..127 and so match neither list.
constexpr std::array<std::uint8_t, 4> kDsssRates = {2, 4, 11, 22};
constexpr std::array<std::uint8_t, 8> kOfdmRates = {12, 18, 24, 36, 48, 72, 96, 108};

struct Evidence {
    bool dsssRate = false;
    bool ofdmRate = false;
    bool erp = false;
    bool vhtCapabilities = false;
    std::uint32_t bandFreeModes = 0;  // modes whose element alone proves them
};

bool contains(const auto& rates, std::uint8_t rate) {
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

void noteRates(Evidence& evidence, ElementBytes rates) {
    for (const auto byte : rates) {
        const auto rate = static_cast<std::uint8_t>(byte & ~kBasicRateBit);
        evidence.dsssRate = evidence.dsssRate || contains(kDsssRates, rate);
        evidence.ofdmRate = evidence.ofdmRate || contains(kOfdmRates, rate);
    }
}

void note(Evidence& evidence, const Element& element) {
    switch (element.id) {
        case element::kSupportedRates:
        case element::kExtendedSupportedRates:
            noteRates(evidence, element.payload);
            break;
        case element::kErp:
            evidence.erp = true;
            break;
        case element::kHtCapabilities:
            evidence.bandFreeModes |= bitFor(phy::k11n);
            break;
        case element::kVhtCapabilities:
            evidence.vhtCapabilities = true;
            break;
        case element::kExtension:
            if (element.extensionId == extension::kHeCapabilities) evidence.bandFreeModes |= bitFor(phy::k11ax);
            if (element.extensionId == extension::kEhtCapabilities) evidence.bandFreeModes |= bitFor(phy::k11be);
            break;
        default:
            break;
    }
}

// 6 GHz BSSes are HE and later only, so OFDM rates there are no sign of 11a.
std::uint32_t bandModes(std::int64_t band, const Evidence& evidence) {
    std::uint32_t mask = 0;
    if (band == band::k2GHz) {
        if (evidence.dsssRate) mask |= bitFor(phy::k11b);
        if (evidence.ofdmRate || evidence.erp) mask |= bitFor(phy::k11g);
    }
    if (band == band::k5GHz) {
        if (evidence.ofdmRate) mask |= bitFor(phy::k11a);
        if (evidence.vhtCapabilities) mask |= bitFor(phy::k11ac);
    }
    return mask;
}

}  // namespace

std::uint32_t phyModeMask(std::uint32_t frequencyMHz, ElementBytes bytes) {
    Evidence evidence;
    for (const auto& element : elementsIn(bytes)) note(evidence, element);
    return evidence.bandFreeModes | bandModes(bandFor(frequencyMHz), evidence);
}

}  // namespace netmoth::ieee80211
