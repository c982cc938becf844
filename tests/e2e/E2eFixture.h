#pragma once
// Launches the built binary on a scene with a private config folder; shared
// by the end-to-end and the fault tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "support/ToolProcess.h"

namespace netmoth::e2e {

namespace fs = std::filesystem;
using nlohmann::json;

// A bundled scene by name; an absolute path is kept as it is.
inline std::string scenePath(const std::string& scene) {
    return (fs::path(NETMOTH_E2E_DIR) / "scenes" / scene).string();
}

inline std::string readFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Hidden networks' BSSIDs are 02:00:00:xx:xx:xx; hidden-many.json uses serials 1 to 10.
inline std::string hiddenBssid(int serial) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", (serial >> 16) & 0xff, (serial >> 8) & 0xff,
                  serial & 0xff);
    return text;
}

// A scene whose one scan lists a network for each name (BSSIDs 0a:...), then
// `hiddenCount` hidden networks numbered from serial `firstHidden`.
inline json sceneWith(const std::vector<std::string>& names, int firstHidden, int hiddenCount) {
    json networks = json::array();
    for (std::size_t i = 0; i < names.size(); ++i) {
        networks.push_back({{"ssid", names[i]}, {"bssid", "0a" + hiddenBssid(static_cast<int>(i)).substr(2)}});
    }
    for (int i = firstHidden; i < firstHidden + hiddenCount; ++i) networks.push_back({{"bssid", hiddenBssid(i)}});
    return {{"defaultInterface", 0}, {"interfaces", {{{"name", "wlan0"}, {"scan", {{"networks", networks}}}}}}};
}

struct ToolTest : ::testing::Test {
    ToolTest() {
        std::string pattern = (fs::temp_directory_path() / "netmoth-e2e-XXXXXX").string();
        home_ = mkdtemp(pattern.data());
    }
    ~ToolTest() override { fs::remove_all(home_); }

    fs::path configHome() const { return home_ / "config"; }
    fs::path storeFile() const { return configHome() / "netmoth-companion" / "defaults.json"; }

    testing::ToolLaunch launch(const std::string& scene, std::vector<std::string> arguments = {}) const {
        return {std::move(arguments),
                {{"NETMOTH_SCENE", scenePath(scene)},
                 {"XDG_CONFIG_HOME", configHome().string()},
                 {"HOME", home_.string()},
                 {"PATH", "/usr/bin:/bin"}}};
    }
    testing::ToolRun run(const std::string& scene, std::vector<std::string> arguments = {}) const {
        return testing::runTool(NETMOTH_BINARY, launch(scene, std::move(arguments)));
    }
    // A scene file in the private folder; returns its path.
    std::string writeScene(const std::string& name, const json& scene) const {
        writeBytes(home_ / name, scene.dump());
        return (home_ / name).string();
    }
    json storedIndex() const { return json::parse(readFile(storeFile())).at("hiddenSsidIndexByBssid"); }

    fs::path home_;
};

}  // namespace netmoth::e2e
