#include "support/RealisticElements.h"

#include <array>
#include <span>

namespace netmoth::bench {
namespace {

using Payload = std::span<const std::uint8_t>;

constexpr std::array<std::uint8_t, 8> kRates2GHz = {0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12, 0x18, 0x24};
constexpr std::array<std::uint8_t, 4> kExtendedRates2GHz = {0x30, 0x48, 0x60, 0x6c};
constexpr std::array<std::uint8_t, 1> kDsChannel6 = {6};
constexpr std::array<std::uint8_t, 1> kErpNoProtection = {0x00};
constexpr std::array<std::uint8_t, 8> kRates5GHz = {0x8c, 0x12, 0x98, 0x24, 0xb0, 0x48, 0x60, 0x6c};
// Version 1, CCMP group and pairwise ciphers, PSK and SAE key management,
// management frame protection capable.
constexpr std::array<std::uint8_t, 24> kRsn = {0x01, 0x00, 0x00, 0x0f, 0xac, 0x04, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x04,
                                               0x02, 0x00, 0x00, 0x0f, 0xac, 0x02, 0x00, 0x0f, 0xac, 0x08, 0x80, 0x00};
constexpr std::array<std::uint8_t, 26> kHtCapabilities = {0xef, 0x09, 0x1b, 0xff, 0xff};
// Primary channel, then the secondary-channel offset and width bits.
constexpr std::array<std::uint8_t, 22> kHtOperation2GHz = {6, 0x00};
constexpr std::array<std::uint8_t, 22> kHtOperation5GHz = {36, 0x05};  // secondary above, any width
constexpr std::array<std::uint8_t, 12> kVhtCapabilities = {0x91, 0x59, 0x82, 0x0f, 0xfa, 0xff,
                                                           0x00, 0x00, 0xfa, 0xff, 0x00, 0x00};
constexpr std::array<std::uint8_t, 5> kVhtOperation80MHz = {0x01, 42, 0x00, 0xfc, 0xff};
constexpr std::array<std::uint8_t, 24> kWmmParameters = {0x00, 0x50, 0xf2, 0x02, 0x01, 0x01, 0x80, 0x00,
                                                         0x03, 0xa4, 0x00, 0x00, 0x27, 0xa4, 0x00, 0x00,
                                                         0x42, 0x43, 0x5e, 0x00, 0x62, 0x32, 0x2f, 0x00};

void append(wifi::Bytes& bytes, std::uint8_t id, Payload payload) {
    bytes.push_back(id);
    bytes.push_back(static_cast<std::uint8_t>(payload.size()));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
}

Payload asPayload(std::string_view text) { return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}; }

wifi::Bytes realisticElements(Band band, std::string_view ssid) {
    wifi::Bytes bytes;
    append(bytes, 0, asPayload(ssid.substr(0, 32)));
    if (band == Band::TwoGHz) {
        append(bytes, 1, kRates2GHz);
        append(bytes, 3, kDsChannel6);
        append(bytes, 42, kErpNoProtection);
        append(bytes, 50, kExtendedRates2GHz);
    } else {
        append(bytes, 1, kRates5GHz);
    }
    append(bytes, 48, kRsn);
    append(bytes, 45, kHtCapabilities);
    append(bytes, 61, band == Band::TwoGHz ? Payload(kHtOperation2GHz) : Payload(kHtOperation5GHz));
    if (band == Band::FiveGHz) {
        append(bytes, 191, kVhtCapabilities);
        append(bytes, 192, kVhtOperation80MHz);
    }
    append(bytes, 221, kWmmParameters);
    return bytes;
}

}  // namespace

ieee80211::RadioFacts realisticBss(Band band, std::string_view ssid) {
    ieee80211::RadioFacts facts;
    facts.frequencyMHz = band == Band::TwoGHz ? 2437U : 5180U;
    facts.capability = 0x0411;
    facts.elements = realisticElements(band, ssid);
    return facts;
}

}  // namespace netmoth::bench
