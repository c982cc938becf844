#pragma once
// A network described as the radio reports it ("frequency", "capability",
// "ie"): whatever it leaves out of channel, security and PHY modes is derived
// with the 802.11 element decoder.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/WiFi.h"
#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

struct RadioLevel {
    std::optional<std::uint32_t> frequencyMHz;
    std::optional<std::uint16_t> capability;

    // Only a network that gives a frequency or a capability is radio-level.
    bool isRadioLevel() const { return frequencyMHz || capability; }

    // Each needs the facts it is derived from; without them: none / empty.
    std::optional<platform::WiFiChannel> channel(std::span<const std::uint8_t> elements) const;
    ValueSet security(std::span<const std::uint8_t> elements) const;
    ValueSet phyModes(std::span<const std::uint8_t> elements) const;
};

}  // namespace netmoth::scene
