#include "platform/ieee80211/KeyManagement.h"

#include "platform/ieee80211/ByteReader.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::uint16_t kSupportedVersion = 1;
constexpr std::size_t kSuiteSize = 4;

// A suite count followed by that many selectors; nullopt when the count is
// zero or promises more selectors than remain.
std::optional<std::vector<std::uint32_t>> readSuiteList(ByteReader& reader) {
    const auto count = reader.le16();
    if (!count || *count == 0 || *count > reader.remaining() / kSuiteSize) return std::nullopt;
    std::vector<std::uint32_t> suites;
    for (std::uint16_t i = 0; i < *count; ++i) suites.push_back(*reader.suite());
    return suites;
}

}  // namespace

std::optional<KeyManagement> parseKeyManagement(ElementBytes body, std::uint32_t defaultAkm) {
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

}  // namespace netmoth::ieee80211
