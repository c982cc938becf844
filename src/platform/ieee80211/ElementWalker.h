#pragma once
// Splits an information-element buffer into elements. Each header and each
// length is checked against what remains before anything is read.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {

struct Element {
    std::uint8_t id = 0;
    std::uint8_t extensionId = 0;  // only meaningful when id is the extension ID
    ElementBytes payload;          // for extension elements: after the extension ID
};

// The elements in order. An element whose length runs past the end stops the
// walk; one whose length is outside the bounds known for its kind is left out.
std::vector<Element> elementsIn(ElementBytes bytes);

// The first element of that kind, if any.
std::optional<Element> firstElement(const std::vector<Element>& elements, std::uint8_t id,
                                    std::uint8_t extensionId = 0);

// What follows the OUI and type of a vendor element carrying that OUI and type.
std::optional<ElementBytes> vendorBody(const Element& element, std::uint32_t ouiAndType);

}  // namespace netmoth::ieee80211
