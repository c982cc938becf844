#include "platform/ieee80211/ElementWalker.h"

#include <algorithm>
#include <cstddef>

#include "platform/ieee80211/ByteReader.h"
#include "platform/ieee80211/ElementIds.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::size_t kHeaderSize = 2;

struct LengthBounds {
    std::uint8_t id;
    std::uint8_t extensionId;
    std::size_t min;
    std::size_t max;
};

// Payload lengths each decoder accepts; any other length marks a malformed
// element. SSIDs longer than 32 bytes are kept because drivers pass them on as
// sent, and EHT capabilities may end in long PPE thresholds.
constexpr LengthBounds kBounds[] = {
    {element::kSsid, 0, 0, 255},
    {element::kSupportedRates, 0, 0, 255},
    {element::kDsParameterSet, 0, 1, 1},
    {element::kErp, 0, 1, 255},
    {element::kHtCapabilities, 0, 26, 26},
    {element::kRsn, 0, 2, 255},
    {element::kExtendedSupportedRates, 0, 0, 255},
    {element::kHtOperation, 0, 22, 22},
    {element::kVhtCapabilities, 0, 12, 255},
    {element::kVhtOperation, 0, 5, 255},
    {element::kExtension, extension::kHeCapabilities, 21, 54},
    {element::kExtension, extension::kHeOperation, 6, 15},
    {element::kExtension, extension::kEhtOperation, 5, 10},
    {element::kExtension, extension::kEhtCapabilities, 13, 255},
};

bool withinBounds(const Element& element) {
    const auto* bounds = std::find_if(std::begin(kBounds), std::end(kBounds), [&](const LengthBounds& b) {
        return b.id == element.id && b.extensionId == element.extensionId;
    });
    if (bounds == std::end(kBounds)) return true;
    return element.payload.size() >= bounds->min && element.payload.size() <= bounds->max;
}

// Extension elements name their kind in the first payload byte.
std::optional<Element> decodeHeader(std::uint8_t id, ElementBytes payload) {
    if (id != element::kExtension) return Element{id, 0, payload};
    if (payload.empty()) return std::nullopt;
    return Element{id, payload[0], payload.subspan(1)};
}

}  // namespace

std::vector<Element> elementsIn(ElementBytes bytes) {
    std::vector<Element> found;
    ByteReader reader(bytes);
    while (reader.remaining() >= kHeaderSize) {
        const std::uint8_t id = *reader.u8();
        const std::uint8_t length = *reader.u8();
        const auto payload = reader.take(length);
        if (!payload) break;
        const auto element = decodeHeader(id, *payload);
        if (element && withinBounds(*element)) found.push_back(*element);
    }
    return found;
}

std::optional<Element> firstElement(const std::vector<Element>& elements, std::uint8_t id, std::uint8_t extensionId) {
    const auto it = std::find_if(elements.begin(), elements.end(),
                                 [&](const Element& e) { return e.id == id && e.extensionId == extensionId; });
    if (it == elements.end()) return std::nullopt;
    return *it;
}

std::optional<ElementBytes> vendorBody(const Element& element, std::uint32_t ouiAndType) {
    if (element.id != element::kVendorSpecific) return std::nullopt;
    ByteReader reader(element.payload);
    const auto selector = reader.suite();
    if (!selector || *selector != ouiAndType) return std::nullopt;
    return reader.take(reader.remaining());
}

}  // namespace netmoth::ieee80211
