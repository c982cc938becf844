#pragma once
// Strict UTF-8 validation: no overlong forms, no surrogates, nothing past U+10FFFF.

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {

bool isValidUtf8(ElementBytes bytes);

}  // namespace netmoth::ieee80211
