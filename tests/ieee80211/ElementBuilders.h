#pragma once
// Element bytes assembled from named fields in the order the standard lays
// them out, so each test reads as the frame it describes. The numbers are
// written here from the standard, not taken from the decoder.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ieee80211/Bss.h"

namespace netmoth::ieee80211::build {

using wifi::Bytes;

enum : std::uint8_t { kSsid = 0, kRates = 1, kDsParameterSet = 3, kErp = 42, kHtCapabilities = 45, kRsn = 48 };
enum : std::uint8_t { kExtendedRates = 50, kHtOperation = 61, kVhtCapabilities = 191, kVhtOperation = 192 };
enum : std::uint8_t { kVendor = 221, kExtension = 255, kHeCapabilities = 35, kHeOperation = 36, kEhtOperation = 106 };
// Suite selectors: OUI then type.
enum : std::uint32_t { kCipherTkip = 0x000FAC02, kCipherCcmp = 0x000FAC04 };
enum : std::uint32_t { kAkm8021x = 0x000FAC01, kAkmPsk, kAkmFt8021x, kAkmFtPsk, kAkm8021xSha256, kAkmPskSha256 };
enum : std::uint32_t { kAkmSae = 0x000FAC08, kAkmFtSae, kAkmSuiteB192 = 0x000FAC0C, kAkmFt8021xSha384 };
enum : std::uint32_t { kAkmOwe = 0x000FAC12, kAkmSaeExtKey = 0x000FAC18, kAkmFtSaeExtKey, kAkmVendor = 0x00904C01 };
enum : std::uint32_t { kWpaVendorType = 0x0050F201, kWpaAkm8021x = 0x0050F201, kWpaAkmPsk = 0x0050F202 };
// Capability field and RSN capabilities bits; MFP required implies capable.
inline constexpr std::uint16_t kPrivacy = 0x0010, kMfpCapable = 0x0080, kMfpRequired = 0x00C0;
inline constexpr std::uint8_t kSecondaryAbove = 1, kSecondaryBelow = 3;  // HT secondary channel offsets

// A table row: a BSS on that frequency with those elements gives `expected`.
template <typename Expected>
struct RadioCase {
    const char* name;
    std::uint32_t frequency;
    Bytes elements;
    Expected expected;
};
// Names each parameterised case after its `name` field.
inline constexpr auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

inline wifi::Network networkOf(std::uint32_t frequency, const Bytes& elements, std::uint16_t capability = kPrivacy) {
    RadioFacts facts;
    facts.frequencyMHz = frequency;
    facts.capability = capability;
    facts.elements = elements;
    return networkFrom(facts);
}

inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}
using u8 = std::uint8_t;  // functional casts keep the byte lists short
inline Bytes rawElement(u8 id, const Bytes& payload) { return join({{id, u8(payload.size())}, payload}); }
inline Bytes extensionElement(u8 id, const Bytes& body) { return rawElement(kExtension, join({{id}, body})); }
inline Bytes le16(std::uint16_t value) { return {u8(value), u8(value >> 8)}; }
inline Bytes suite(std::uint32_t selector) {
    return {u8(selector >> 24), u8(selector >> 16), u8(selector >> 8), u8(selector)};
}
inline Bytes suiteList(const std::vector<std::uint32_t>& selectors) {
    Bytes out = le16(static_cast<std::uint16_t>(selectors.size()));
    for (const auto selector : selectors) out = join({out, suite(selector)});
    return out;
}
inline Bytes vendorElement(std::uint32_t ouiAndType, const Bytes& body) {
    return rawElement(kVendor, join({suite(ouiAndType), body}));
}

// The element with its length field set to `length`, cut or padded with zeros.
inline Bytes resized(Bytes element, std::uint8_t length) {
    element.resize(2U + length);
    element[1] = length;
    return element;
}

// Version, group cipher, pairwise list, AKM list, RSN capabilities.
inline Bytes rsnBody(const std::vector<std::uint32_t>& akms, std::uint16_t capabilities = 0,
                     const std::vector<std::uint32_t>& pairwise = {kCipherCcmp}) {
    return join({le16(1), suite(kCipherCcmp), suiteList(pairwise), suiteList(akms), le16(capabilities)});
}
inline Bytes rsnElement(const std::vector<std::uint32_t>& akms, std::uint16_t capabilities = 0,
                        const std::vector<std::uint32_t>& pairwise = {kCipherCcmp}) {
    return rawElement(kRsn, rsnBody(akms, capabilities, pairwise));
}
// The WPA element has the RSN layout with Microsoft's OUI in the selectors.
inline Bytes wpaElement(const std::vector<std::uint32_t>& akms) {
    constexpr std::uint32_t kWpaTkip = 0x0050F202;
    return vendorElement(kWpaVendorType, join({le16(1), suite(kWpaTkip), suiteList({kWpaTkip}), suiteList(akms)}));
}

inline Bytes ssidElement(std::string_view name) { return rawElement(kSsid, Bytes(name.begin(), name.end())); }
inline Bytes dsParameterSet(std::uint8_t channel) { return rawElement(kDsParameterSet, {channel}); }
// Capability elements of the smallest valid size unless told otherwise.
inline Bytes htCapabilities(std::size_t size = 26) { return rawElement(kHtCapabilities, Bytes(size, 0)); }
inline Bytes vhtCapabilities() { return rawElement(kVhtCapabilities, Bytes(12, 0)); }
inline Bytes heCapabilities(std::size_t size = 21) { return extensionElement(kHeCapabilities, Bytes(size, 0)); }

inline Bytes htOperation(u8 secondaryOffset, bool anyWidth, u8 primary = 36) {
    return resized(rawElement(kHtOperation, {primary, u8(secondaryOffset | (anyWidth ? 0x04 : 0))}), 22);
}
// Channel width, CCFS0, CCFS1, then the basic VHT-MCS and NSS set.
inline Bytes vhtOperation(std::uint8_t width, std::uint8_t ccfs0, std::uint8_t ccfs1) {
    return rawElement(kVhtOperation, {width, ccfs0, ccfs1, 0xFC, 0xFF});
}

// HE operation parameters (presence bits in their 2nd and 3rd byte), BSS
// colour, basic HE-MCS and NSS set, then the parts the presence bits announce.
enum : std::uint16_t { kVhtInfoPresent = 0x0040, kCoHosted = 0x0080, kSixGHzInfoPresent = 0x0200 };
inline Bytes heOperation(std::uint16_t presence, const Bytes& parts) {
    return extensionElement(kHeOperation, join({{0x04}, le16(presence), {0, 0xFC, 0xFF}, parts}));
}
// Primary channel, control (width), CCFS0, CCFS1, minimum rate.
inline Bytes sixGHzInfo(std::uint8_t width) { return {37, width, 39, 0, 6}; }
// EHT operation parameters, basic EHT-MCS and NSS set, then the control
// (width), CCFS0, CCFS1 the parameters flag as present.
inline Bytes ehtOperation(std::uint8_t width, bool informationPresent = true) {
    return extensionElement(kEhtOperation, {u8(informationPresent), 0x11, 0x11, 0x11, 0x11, width, 47, 31});
}

}  // namespace netmoth::ieee80211::build
