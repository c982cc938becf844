#pragma once
// Scenes written inline in tests.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "scene/SceneReader.h"

namespace netmoth::scene::testing {

inline Scene mustRead(std::string_view json) {
    SceneReading reading = readScene(json);
    EXPECT_TRUE(reading.scene) << reading.error;
    return reading.scene.value_or(Scene{});
}

// A scene whose default interface scans these networks (a JSON array's members).
inline std::string scanning(const std::string& networks) {
    return R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [)" + networks + "]}}]}";
}

}  // namespace netmoth::scene::testing
