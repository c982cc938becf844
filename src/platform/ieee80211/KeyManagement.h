#pragma once
// The authentication part of an RSN element body, or of a WPA vendor element
// body (which has the same layout with other OUIs).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {

struct KeyManagement {
    std::vector<std::uint32_t> akmSuites;  // OUI << 8 | type; empty when unreadable
    std::uint16_t capabilities = 0;
};

// nullopt when the body is too short to hold the version field. Fields absent
// at the end take the standard's defaults (AKM defaultAkm, capabilities 0); a
// list whose count does not fit, a split field or an unknown version leaves
// the AKMs unknown (empty): such an element cannot be read with confidence.
std::optional<KeyManagement> parseKeyManagement(ElementBytes body, std::uint32_t defaultAkm);

}  // namespace netmoth::ieee80211
