#pragma once
// Element bytes assembled from named fields in the order the standard lays
// them out, so each test reads as the frame it describes.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/WiFi.h"
#include "platform/ieee80211/ElementIds.h"

namespace netmoth::ieee80211::build {

using platform::Bytes;

inline constexpr std::uint32_t kCipherCcmp = 0x000FAC04;
inline constexpr std::uint32_t kCipherTkip = 0x000FAC02;
inline constexpr std::uint32_t kAkm8021x = 0x000FAC01;
inline constexpr std::uint32_t kAkmPsk = 0x000FAC02;
inline constexpr std::uint32_t kAkmFt8021x = 0x000FAC03;
inline constexpr std::uint32_t kAkmFtPsk = 0x000FAC04;
inline constexpr std::uint32_t kAkm8021xSha256 = 0x000FAC05;
inline constexpr std::uint32_t kAkmPskSha256 = 0x000FAC06;
inline constexpr std::uint32_t kAkmSae = 0x000FAC08;
inline constexpr std::uint32_t kAkmFtSae = 0x000FAC09;
inline constexpr std::uint32_t kAkmSuiteB192 = 0x000FAC0C;
inline constexpr std::uint32_t kAkmFt8021xSha384 = 0x000FAC0D;
inline constexpr std::uint32_t kAkmOwe = 0x000FAC12;
inline constexpr std::uint32_t kAkmSaeExtKey = 0x000FAC18;
inline constexpr std::uint32_t kAkmVendor = 0x00904C01;
inline constexpr std::uint32_t kWpaCipherTkip = 0x0050F202;
inline constexpr std::uint32_t kWpaAkm8021x = 0x0050F201;
inline constexpr std::uint32_t kWpaAkmPsk = 0x0050F202;
inline constexpr std::uint16_t kMfpCapable = 0x0080;
inline constexpr std::uint16_t kMfpRequired = 0x00C0;  // required implies capable
inline constexpr std::uint16_t kPrivacy = 0x0010;
inline constexpr std::uint8_t kSecondaryAbove = 1;
inline constexpr std::uint8_t kSecondaryBelow = 3;

inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes rawElement(std::uint8_t id, const Bytes& payload) {
    return join({{id, static_cast<std::uint8_t>(payload.size())}, payload});
}
inline Bytes extensionElement(std::uint8_t extensionId, const Bytes& body) {
    return rawElement(element::kExtension, join({{extensionId}, body}));
}
inline Bytes le16(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}
inline Bytes suite(std::uint32_t selector) {
    return {static_cast<std::uint8_t>(selector >> 24), static_cast<std::uint8_t>(selector >> 16),
            static_cast<std::uint8_t>(selector >> 8), static_cast<std::uint8_t>(selector)};
}
inline Bytes suiteList(const std::vector<std::uint32_t>& selectors) {
    Bytes out = le16(static_cast<std::uint16_t>(selectors.size()));
    for (const auto selector : selectors) out = join({out, suite(selector)});
    return out;
}
inline Bytes vendorElement(std::uint32_t ouiAndType, const Bytes& body) {
    return rawElement(element::kVendorSpecific, join({suite(ouiAndType), body}));
}

// Version, group cipher, pairwise list, AKM list, RSN capabilities.
inline Bytes rsnBody(const std::vector<std::uint32_t>& pairwise, const std::vector<std::uint32_t>& akms,
                     std::uint16_t capabilities = 0) {
    return join({le16(1), suite(kCipherCcmp), suiteList(pairwise), suiteList(akms), le16(capabilities)});
}
inline Bytes rsnElement(const std::vector<std::uint32_t>& pairwise, const std::vector<std::uint32_t>& akms,
                        std::uint16_t capabilities = 0) {
    return rawElement(element::kRsn, rsnBody(pairwise, akms, capabilities));
}
inline Bytes wpaElement(const std::vector<std::uint32_t>& akms) {
    return vendorElement(kWpaVendorType,
                         join({le16(1), suite(kWpaCipherTkip), suiteList({kWpaCipherTkip}), suiteList(akms)}));
}

inline Bytes ssidElement(std::string_view name) { return rawElement(element::kSsid, Bytes(name.begin(), name.end())); }
inline Bytes supportedRates(const Bytes& rates) { return rawElement(element::kSupportedRates, rates); }
inline Bytes extendedRates(const Bytes& rates) { return rawElement(element::kExtendedSupportedRates, rates); }
inline Bytes dsParameterSet(std::uint8_t channel) { return rawElement(element::kDsParameterSet, {channel}); }
inline Bytes erpElement() { return rawElement(element::kErp, {0}); }
inline Bytes htCapabilities() { return rawElement(element::kHtCapabilities, Bytes(26, 0)); }
inline Bytes vhtCapabilities() { return rawElement(element::kVhtCapabilities, Bytes(12, 0)); }
inline Bytes heCapabilities() { return extensionElement(extension::kHeCapabilities, Bytes(21, 0)); }
inline Bytes ehtCapabilities() { return extensionElement(extension::kEhtCapabilities, Bytes(13, 0)); }

inline Bytes htOperation(std::uint8_t secondaryOffset, bool anyWidth, std::uint8_t primary = 36) {
    Bytes payload(22, 0);
    payload[0] = primary;
    payload[1] = static_cast<std::uint8_t>(secondaryOffset | (anyWidth ? 0x04 : 0));
    return rawElement(element::kHtOperation, payload);
}
// Channel width, CCFS0, CCFS1, then the basic VHT-MCS and NSS set.
inline Bytes vhtOperation(std::uint8_t width, std::uint8_t ccfs0, std::uint8_t ccfs1) {
    return rawElement(element::kVhtOperation, {width, ccfs0, ccfs1, 0xFC, 0xFF});
}

struct HeOperationParts {
    std::vector<std::uint8_t> vhtInfo = {};  // width, CCFS0, CCFS1 when present
    bool coHosted = false;
    int sixGHzWidth = -1;                  // channel width field; -1: no 6 GHz information
    std::size_t dropTail = 0;              // bytes cut off the end
};
inline Bytes heOperation(const HeOperationParts& parts) {
    const auto byte1 = static_cast<std::uint8_t>((parts.vhtInfo.empty() ? 0 : 0x40) | (parts.coHosted ? 0x80 : 0));
    const auto byte2 = static_cast<std::uint8_t>(parts.sixGHzWidth >= 0 ? 0x02 : 0);
    Bytes body = join({{0x04, byte1, byte2}, {0x00, 0xFC, 0xFF}, parts.vhtInfo});
    if (parts.coHosted) body.push_back(3);
    if (parts.sixGHzWidth >= 0) body = join({body, {37, static_cast<std::uint8_t>(parts.sixGHzWidth), 39, 0, 6}});
    body.resize(body.size() - parts.dropTail);
    return extensionElement(extension::kHeOperation, body);
}
// EHT operation parameters, basic EHT-MCS and NSS set, then the optional
// control (width), CCFS0, CCFS1.
inline Bytes ehtOperation(int width) {
    Bytes body = join({{static_cast<std::uint8_t>(width >= 0 ? 0x01 : 0)}, {0x11, 0x11, 0x11, 0x11}});
    if (width >= 0) body = join({body, {static_cast<std::uint8_t>(width), 47, 31}});
    return extensionElement(extension::kEhtOperation, body);
}

}  // namespace netmoth::ieee80211::build
