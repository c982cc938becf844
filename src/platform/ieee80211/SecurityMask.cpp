// Which platform security kinds a BSS offers, from its capability field and
// its RSN and WPA elements.

#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/ElementIds.h"
#include "platform/ieee80211/ElementWalker.h"
#include "platform/ieee80211/KeyManagement.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::uint16_t kPrivacyBit = 0x0010;
constexpr std::uint16_t kMfpRequiredBit = 0x0040;

std::optional<KeyManagement> rsnIn(const std::vector<Element>& elements) {
    const auto rsn = firstElement(elements, element::kRsn);
    if (!rsn) return std::nullopt;
    return parseKeyManagement(rsn->payload, suiteSelector(kOuiIeee80211, 1));
}

std::optional<KeyManagement> wpaIn(const std::vector<Element>& elements) {
    for (const auto& element : elements) {
        if (const auto body = vendorBody(element, kWpaVendorType)) {
            if (auto wpa = parseKeyManagement(*body, suiteSelector(kOuiMicrosoft, 1))) return wpa;
        }
    }
    return std::nullopt;
}

std::uint32_t wpaAkmBit(std::uint32_t akm) {
    if (akm == suiteSelector(kOuiMicrosoft, 1)) return bitFor(security::kWpaEap);
    if (akm == suiteSelector(kOuiMicrosoft, 2)) return bitFor(security::kWpaPsk);
    return 0;
}

std::uint32_t rsnAkmBit(std::uint32_t akm, bool mfpRequired) {
    if (akm >> 8 != kOuiIeee80211) return 0;
    switch (akm & 0xFF) {
        case 2:
        case 4:
        case 6:
            return bitFor(security::kWpa2Psk);
        case 8:
        case 9:
        case 24:
        case 25:
            return bitFor(security::kWpa3Sae);
        case 1:
        case 3:
            return bitFor(security::kWpa2Eap);
        // 802.1X with SHA-256 is WPA3-Enterprise only once protected management frames are mandatory.
        case 5:
            return bitFor(mfpRequired ? security::kWpa3Eap : security::kWpa2Eap);
        case 12:
        case 13:
            return bitFor(security::kWpa3Eap);
        default:
            return 0;  // OWE, FILS, DPP and the rest name none of the platform kinds
    }
}

std::uint32_t wpaBits(const KeyManagement& wpa) {
    std::uint32_t mask = 0;
    for (const auto akm : wpa.akmSuites) mask |= wpaAkmBit(akm);
    return mask;
}

std::uint32_t rsnBits(const KeyManagement& rsn) {
    const bool mfpRequired = (rsn.capabilities & kMfpRequiredBit) != 0;
    std::uint32_t mask = 0;
    for (const auto akm : rsn.akmSuites) mask |= rsnAkmBit(akm, mfpRequired);
    return mask;
}

// The mixed WPA/WPA2 kinds hold exactly when both of their parts do.
std::uint32_t withMixedModes(std::uint32_t mask) {
    const auto both = [mask](int a, int b) { return maskHas(mask, a) && maskHas(mask, b); };
    if (both(security::kWpaPsk, security::kWpa2Psk)) mask |= bitFor(security::kWpaWpa2Psk);
    if (both(security::kWpaEap, security::kWpa2Eap)) mask |= bitFor(security::kWpaWpa2Eap);
    return mask;
}

}  // namespace

std::uint32_t securityMask(std::uint16_t capability, ElementBytes bytes) {
    const auto elements = elementsIn(bytes);
    const auto rsn = rsnIn(elements);
    const auto wpa = wpaIn(elements);
    if (!rsn && !wpa) return bitFor((capability & kPrivacyBit) != 0 ? security::kWep : security::kNone);

    std::uint32_t mask = 0;
    if (wpa) mask |= wpaBits(*wpa);
    if (rsn) mask |= rsnBits(*rsn);
    return withMixedModes(mask);
}

}  // namespace netmoth::ieee80211
