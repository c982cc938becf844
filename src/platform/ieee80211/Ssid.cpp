// Network names: SSID bytes are not promised to be any encoding.

#include <algorithm>
#include <string>

#include <string_view>

#include "platform/Utf8.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/ElementIds.h"
#include "platform/ieee80211/ElementWalker.h"
#include "platform/ieee80211/Windows1252.h"

namespace netmoth::ieee80211 {
namespace {

std::string_view asText(ElementBytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

}  // namespace

std::optional<std::string> ssidText(ElementBytes ssidBytes) {
    const bool hidden = std::all_of(ssidBytes.begin(), ssidBytes.end(), [](std::uint8_t b) { return b == 0; });
    if (hidden) return std::nullopt;
    if (platform::isValidUtf8(asText(ssidBytes))) return std::string(ssidBytes.begin(), ssidBytes.end());
    return windows1252ToUtf8(ssidBytes);
}

std::optional<std::string> ssidFromElements(ElementBytes elements) {
    const auto ssid = firstElement(elementsIn(elements), element::kSsid);
    if (!ssid) return std::nullopt;
    return ssidText(ssid->payload);
}

}  // namespace netmoth::ieee80211
