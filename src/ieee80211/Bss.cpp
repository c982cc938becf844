// The one walk over a BSS's elements, and the network derived from it.

#include "ieee80211/Bss.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "ieee80211/Elements.h"

namespace netmoth::ieee80211 {
namespace {

namespace id {
constexpr std::uint8_t kSsid = 0;
constexpr std::uint8_t kSupportedRates = 1;
constexpr std::uint8_t kDsParameterSet = 3;
constexpr std::uint8_t kErp = 42;
constexpr std::uint8_t kHtCapabilities = 45;
constexpr std::uint8_t kRsn = 48;
constexpr std::uint8_t kExtendedSupportedRates = 50;
constexpr std::uint8_t kHtOperation = 61;
constexpr std::uint8_t kVhtCapabilities = 191;
constexpr std::uint8_t kVhtOperation = 192;
constexpr std::uint8_t kVendorSpecific = 221;
constexpr std::uint8_t kExtension = 255;
// Extension IDs, the first payload byte of an extension element.
constexpr std::uint8_t kHeCapabilities = 35;
constexpr std::uint8_t kHeOperation = 36;
constexpr std::uint8_t kEhtOperation = 106;
}  // namespace id

// The pre-RSN WPA element: a vendor element with Microsoft's OUI, type 1.
constexpr std::uint32_t kWpaOuiAndType = 0x0050F201;

struct Element {
    std::uint8_t id = 0;
    std::uint8_t extensionId = 0;  // only meaningful when id is the extension ID
    ByteView payload;              // for extension elements: after the extension ID
};

struct LengthBounds {
    std::uint8_t id;
    std::uint8_t extensionId;
    std::size_t min;
    std::size_t max;
};

// Payload lengths each decoder accepts (after iw's table); any other length
// marks a malformed element. SSIDs longer than 32 bytes are kept because
// drivers pass them on as sent.
constexpr LengthBounds kBounds[] = {
    {id::kDsParameterSet, 0, 1, 1},
    {id::kErp, 0, 1, 255},
    {id::kHtCapabilities, 0, 26, 26},
    {id::kRsn, 0, 2, 255},
    {id::kHtOperation, 0, 22, 22},
    {id::kVhtCapabilities, 0, 12, 255},
    {id::kVhtOperation, 0, 5, 255},
    {id::kExtension, id::kHeCapabilities, 21, 54},
    {id::kExtension, id::kHeOperation, 6, 15},
    {id::kExtension, id::kEhtOperation, 5, 10},
};

bool withinBounds(const Element& element) {
    const auto* bounds = std::find_if(std::begin(kBounds), std::end(kBounds), [&](const LengthBounds& b) {
        return b.id == element.id && b.extensionId == element.extensionId;
    });
    if (bounds == std::end(kBounds)) return true;
    return element.payload.size() >= bounds->min && element.payload.size() <= bounds->max;
}

// Extension elements name their kind in the first payload byte.
std::optional<Element> elementOf(std::uint8_t id, ByteView payload) {
    if (id != id::kExtension) return Element{id, 0, payload};
    if (payload.empty()) return std::nullopt;
    return Element{id, payload[0], payload.subspan(1)};
}

void keepFirst(std::optional<ByteView>& slot, ByteView payload) {
    if (!slot) slot = payload;
}

void keepWpa(Elements& found, ByteView payload) {
    ByteReader reader(payload);
    if (reader.suite() == kWpaOuiAndType) found.wpa.push_back(*reader.take(reader.remaining()));
}

void keepExtension(Elements& found, const Element& element) {
    switch (element.extensionId) {
        case id::kHeCapabilities:
            found.heCapabilities = true;
            break;
        case id::kHeOperation:
            found.heOperations.push_back(element.payload);
            break;
        case id::kEhtOperation:
            found.ehtOperations.push_back(element.payload);
            break;
        default:
            break;
    }
}

void keep(Elements& found, const Element& element) {
    switch (element.id) {
        case id::kSsid:
            keepFirst(found.ssid, element.payload);
            break;
        case id::kDsParameterSet:
            if (!found.dsChannel) found.dsChannel = element.payload[0];  // the bounds hold its one byte
            break;
        case id::kRsn:
            keepFirst(found.rsn, element.payload);
            break;
        case id::kVendorSpecific:
            keepWpa(found, element.payload);
            break;
        case id::kSupportedRates:
        case id::kExtendedSupportedRates:
            found.rates.push_back(element.payload);
            break;
        case id::kErp:
            found.erp = true;
            break;
        case id::kHtCapabilities:
            found.htCapabilities = true;
            break;
        case id::kVhtCapabilities:
            found.vhtCapabilities = true;
            break;
        case id::kHtOperation:
            found.htOperations.push_back(element.payload);
            break;
        case id::kVhtOperation:
            found.vhtOperations.push_back(element.payload);
            break;
        case id::kExtension:
            keepExtension(found, element);
            break;
        default:
            break;
    }
}

}  // namespace

Elements parseElements(ByteView bytes) {
    constexpr std::size_t kHeaderSize = 2;
    Elements found;
    ByteReader reader(bytes);
    while (reader.remaining() >= kHeaderSize) {
        const std::uint8_t elementId = *reader.u8();
        const std::uint8_t length = *reader.u8();
        const auto payload = reader.take(length);
        if (!payload) break;
        const auto element = elementOf(elementId, *payload);
        if (element && withinBounds(*element)) keep(found, *element);
    }
    return found;
}

wifi::Network networkFrom(const RadioFacts& facts) {
    const Elements elements = parseElements(facts.elements ? ByteView(*facts.elements) : ByteView());
    wifi::Network network;
    network.bssid = facts.bssid;
    network.ssid = facts.ssid ? facts.ssid : (elements.ssid ? ssidText(*elements.ssid) : std::nullopt);
    network.rssi = facts.signalDbm;
    network.elements = facts.elements;
    network.security = securityFrom(facts.capability, elements);
    if (facts.frequencyMHz) {
        network.channel = channelFrom(*facts.frequencyMHz, elements);
        network.highestPhyMode = highestPhyModeFrom(*facts.frequencyMHz, elements);
    }
    return network;
}

}  // namespace netmoth::ieee80211
