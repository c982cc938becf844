#pragma once
// Windows-1252 to UTF-8: the legacy encoding many access points use for names.

#include <optional>
#include <string>

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {

// nullopt when a byte has no character in Windows-1252 (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::optional<std::string> windows1252ToUtf8(ElementBytes bytes);

}  // namespace netmoth::ieee80211
