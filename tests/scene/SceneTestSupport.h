#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/scene/Scene.h"

namespace netmoth::scene::testing {

inline std::unique_ptr<Scene> mustParse(std::string_view json) {
    SceneLoadResult result = parseScene(json);
    EXPECT_TRUE(result.scene && result.error.empty()) << result.error;
    return std::move(result.scene);
}

// The networks a scan finds; a failed scan fails the test.
inline platform::NetworkList scan(platform::WiFiInterface& interface, std::optional<std::string> name = std::nullopt) {
    auto networks = interface.scanForNetworks(name, true);
    EXPECT_TRUE(networks.has_value());
    return networks ? std::move(*networks) : platform::NetworkList{};
}

// number, band, width; (-1, -1, -1) for no channel.
inline std::tuple<std::int64_t, std::int64_t, std::int64_t> channelOf(const platform::WiFiNetwork& network) {
    const auto channel = network.wlanChannel();
    if (!channel) return {-1, -1, -1};
    return {channel->channelNumber, channel->channelBand, channel->channelWidth};
}

}  // namespace netmoth::scene::testing
