#pragma once
// Launches the built binary on a scene with a private config folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "support/ToolProcess.h"

namespace netmoth::e2e {

inline std::string scenePath(const std::string& name) {
    return std::string(NETMOTH_E2E_DIR) + "/scenes/" + name;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ToolTest : public ::testing::Test {
protected:
    ToolTest() {
        std::string pattern = (std::filesystem::temp_directory_path() / "netmoth-e2e-XXXXXX").string();
        home_ = mkdtemp(pattern.data());
    }
    ~ToolTest() override { std::filesystem::remove_all(home_); }

    std::filesystem::path configHome() const { return home_ / "config"; }
    std::filesystem::path storeFile() const { return configHome() / "netmoth-companion" / "defaults.json"; }

    testing::ToolLaunch launch(const std::string& scene, std::vector<std::string> arguments) const {
        testing::ToolLaunch l;
        l.arguments = std::move(arguments);
        l.environment = {{"NETMOTH_SCENE", scenePath(scene)},
                         {"XDG_CONFIG_HOME", configHome().string()},
                         {"HOME", home_.string()},
                         {"PATH", "/usr/bin:/bin"}};
        return l;
    }

    testing::ToolRun run(const std::string& scene, std::vector<std::string> arguments = {}) const {
        return testing::runTool(NETMOTH_BINARY, launch(scene, std::move(arguments)));
    }

    nlohmann::json storedIndex() const {
        return nlohmann::json::parse(readFile(storeFile())).at("hiddenSsidIndexByBssid");
    }

    std::filesystem::path home_;
};

}  // namespace netmoth::e2e
