#pragma once
// Reading a scene document (docs/scene-format.md) into the scene model. The
// format's codes are translated here, at the boundary, and radio-level
// networks are derived with the 802.11 decoder.

#include <optional>
#include <string>
#include <string_view>

#include "scene/Scene.h"

namespace netmoth::scene {

// Exactly one of scene and error is set. The error is one line naming where
// the problem is, e.g. "interfaces[0].scan.networks[3].rssi: expected an integer, got a string".
struct SceneReading {
    std::optional<Scene> scene;
    std::string error;
};

// Never throws.
SceneReading readScene(std::string_view json);

// Never throws; an error starts with the path, e.g. "scene.json: cannot open: No such file or directory".
SceneReading readSceneFile(const std::string& path);

}  // namespace netmoth::scene
