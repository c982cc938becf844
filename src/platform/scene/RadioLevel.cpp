#include "platform/scene/RadioLevel.h"

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::scene {

std::optional<platform::WiFiChannel> RadioLevel::channel(std::span<const std::uint8_t> elements) const {
    if (!frequencyMHz) return std::nullopt;
    return ieee80211::channelFor(*frequencyMHz, elements);
}

ValueSet RadioLevel::security(std::span<const std::uint8_t> elements) const {
    if (!isRadioLevel()) return {};
    return ValueSet::fromMask(ieee80211::securityMask(capability.value_or(0), elements));
}

ValueSet RadioLevel::phyModes(std::span<const std::uint8_t> elements) const {
    if (!frequencyMHz) return {};
    return ValueSet::fromMask(ieee80211::phyModeMask(*frequencyMHz, elements));
}

}  // namespace netmoth::scene
