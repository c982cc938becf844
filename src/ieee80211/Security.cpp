// Which security types a BSS offers, from its capability field and its RSN
// and WPA elements. The key-management parser follows hostap's
// wpa_parse_wpa_ie_rsn: defaults first, then each count checked against what
// is left before the list is read.

#include <utility>
#include <vector>

#include "ieee80211/Elements.h"

namespace netmoth::ieee80211 {
namespace {

using wifi::Security;

constexpr std::uint32_t kOuiIeee80211 = 0x000FAC;
constexpr std::uint32_t kOuiMicrosoft = 0x0050F2;
constexpr std::uint16_t kPrivacyBit = 0x0010;
constexpr std::uint16_t kMfpRequiredBit = 0x0040;
constexpr std::uint16_t kSupportedVersion = 1;
constexpr std::size_t kSuiteSize = 4;

constexpr std::uint32_t suiteSelector(std::uint32_t oui, std::uint8_t type) { return oui << 8 | type; }

// The AKM an element means when it ends before its AKM list: 802.1X.
constexpr std::uint32_t kRsnDefaultAkm = suiteSelector(kOuiIeee80211, 1);
constexpr std::uint32_t kWpaDefaultAkm = suiteSelector(kOuiMicrosoft, 1);

struct KeyManagement {
    std::vector<std::uint32_t> akmSuites;  // OUI << 8 | type; empty when unreadable
    std::uint16_t capabilities = 0;
};

// A suite count followed by that many selectors; nullopt when the count is
// zero or promises more selectors than remain.
std::optional<std::vector<std::uint32_t>> readSuiteList(ByteReader& reader) {
    const auto count = reader.le16();
    if (!count || *count == 0 || *count > reader.remaining() / kSuiteSize) return std::nullopt;
    std::vector<std::uint32_t> suites;
    for (std::uint16_t i = 0; i < *count; ++i) suites.push_back(*reader.suite());
    return suites;
}

// nullopt when the body cannot hold the version field. A list whose count
// does not fit, a split field or an unknown version leaves the AKMs unknown:
// such an element cannot be read with confidence.
std::optional<KeyManagement> parseKeyManagement(ByteView body, std::uint32_t defaultAkm) {
    ByteReader reader(body);
    const auto version = reader.le16();
    if (!version) return std::nullopt;

    const KeyManagement unreadable;
    if (*version != kSupportedVersion) return unreadable;

    KeyManagement result{{defaultAkm}, 0};
    if (reader.remaining() == 0) return result;
    if (!reader.suite()) return unreadable;  // group cipher
    if (reader.remaining() == 0) return result;
    if (!readSuiteList(reader)) return unreadable;  // pairwise ciphers
    if (reader.remaining() == 0) return result;
    auto akms = readSuiteList(reader);
    if (!akms) return unreadable;
    result.akmSuites = std::move(*akms);
    // A single stray byte where the capabilities would start is ignored.
    if (const auto capabilities = reader.le16()) result.capabilities = *capabilities;
    return result;
}

// The first WPA element that holds a version field is the one read.
std::optional<KeyManagement> wpaIn(const Elements& elements) {
    for (const ByteView body : elements.wpa) {
        if (auto wpa = parseKeyManagement(body, kWpaDefaultAkm)) return wpa;
    }
    return std::nullopt;
}

void addWpa(wifi::SecuritySet& set, const KeyManagement& wpa) {
    for (const auto akm : wpa.akmSuites) {
        if (akm == suiteSelector(kOuiMicrosoft, 1)) set.add(Security::WpaEnterprise);
        if (akm == suiteSelector(kOuiMicrosoft, 2)) set.add(Security::WpaPersonal);
    }
}

std::optional<Security> rsnSecurityOf(std::uint32_t akm, bool mfpRequired) {
    if (akm >> 8 != kOuiIeee80211) return std::nullopt;
    switch (akm & 0xFF) {
        case 2:  // PSK, FT-PSK, PSK-SHA256
        case 4:
        case 6:
            return Security::Wpa2Personal;
        case 8:  // SAE, FT-SAE, SAE with any group, FT-SAE with any group
        case 9:
        case 24:
        case 25:
            return Security::Wpa3Personal;
        case 1:  // 802.1X, FT-802.1X
        case 3:
            return Security::Wpa2Enterprise;
        // 802.1X with SHA-256 is WPA3-Enterprise only once protected management frames are mandatory.
        case 5:
            return mfpRequired ? Security::Wpa3Enterprise : Security::Wpa2Enterprise;
        case 12:  // Suite B 192-bit, FT-802.1X-SHA384
        case 13:
            return Security::Wpa3Enterprise;
        default:
            return std::nullopt;  // OWE, FILS, DPP and the rest name no type an answer lists
    }
}

void addRsn(wifi::SecuritySet& set, const KeyManagement& rsn) {
    const bool mfpRequired = (rsn.capabilities & kMfpRequiredBit) != 0;
    for (const auto akm : rsn.akmSuites) {
        if (const auto security = rsnSecurityOf(akm, mfpRequired)) set.add(*security);
    }
}

// The mixed WPA/WPA2 types hold exactly when both of their parts do.
void addMixedModes(wifi::SecuritySet& set) {
    if (set.contains(Security::WpaPersonal) && set.contains(Security::Wpa2Personal)) {
        set.add(Security::WpaWpa2Personal);
    }
    if (set.contains(Security::WpaEnterprise) && set.contains(Security::Wpa2Enterprise)) {
        set.add(Security::WpaWpa2Enterprise);
    }
}

}  // namespace

wifi::SecuritySet securityFrom(std::uint16_t capability, const Elements& elements) {
    const auto rsn = elements.rsn ? parseKeyManagement(*elements.rsn, kRsnDefaultAkm) : std::nullopt;
    const auto wpa = wpaIn(elements);
    if (!rsn && !wpa) return {(capability & kPrivacyBit) != 0 ? Security::Wep : Security::None};

    wifi::SecuritySet set;
    if (wpa) addWpa(set, *wpa);
    if (rsn) addRsn(set, *rsn);
    addMixedModes(set);
    return set;
}

}  // namespace netmoth::ieee80211
