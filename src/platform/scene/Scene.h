#pragma once
// A simulated radio and location service described by a scene file (JSON), so
// the program can run without Wi-Fi hardware. The format is in docs/scene-format.md.

#include <memory>
#include <string>
#include <string_view>

#include "platform/Location.h"
#include "platform/RunLoop.h"
#include "platform/WiFi.h"
#include "platform/scene/SceneClient.h"
#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

class Scene {
public:
    explicit Scene(SceneSpec spec);

    // The same client on every call.
    platform::WiFiClient& client() { return client_; }
    // Status from the scene; setDelegate posts one callback through runLoop
    // when the scene delivers, none otherwise.
    std::unique_ptr<platform::LocationManager> makeLocationManager(platform::RunLoop& runLoop) const;

private:
    LocationSpec location_;
    SceneClient client_;
};

// Exactly one of scene and error is set. The error is one line naming where
// the problem is, e.g. "interfaces[0].scan.networks[3].rssi: expected an integer, got a string".
struct SceneLoadResult {
    std::unique_ptr<Scene> scene;
    std::string error;
};

// Never throws.
SceneLoadResult parseScene(std::string_view json);

// Never throws; an error starts with the path, e.g. "scene.json: cannot open: No such file or directory".
SceneLoadResult loadSceneFile(const std::string& path);

}  // namespace netmoth::scene
