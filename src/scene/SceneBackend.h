#pragma once
// A radio and location service described by a scene, so the program runs
// without Wi-Fi hardware. The format is in docs/scene-format.md.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scene/Scene.h"
#include "wifi/Backend.h"

namespace netmoth::scene {

class SceneBackend final : public wifi::Backend {
public:
    explicit SceneBackend(Scene scene) : scene_(std::move(scene)) {}

    std::optional<wifi::Interface> defaultInterface() override;
    std::optional<std::vector<wifi::Interface>> interfaces() override;
    // Scans the default interface's networks; fails without a default interface.
    // The first scan takes the networks (a launch scans once): a later one fails.
    std::optional<std::vector<wifi::Network>> scan(const std::optional<std::string>& name) override;
    std::optional<wifi::Permission> permission() override { return scene_.permission; }

private:
    SceneInterface* chosen();  // the default interface's entry, or nullptr

    Scene scene_;
    bool scanned_ = false;
};

// Exactly one of backend and error is set; the error is one line starting
// with the path, e.g. "home.json: defaultInterface: index 2 is out of range: ...".
struct SceneBackendLoad {
    std::unique_ptr<wifi::Backend> backend;
    std::string error;
};

// Never throws.
SceneBackendLoad loadSceneBackend(const std::string& path);

}  // namespace netmoth::scene
