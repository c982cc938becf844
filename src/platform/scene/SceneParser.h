#pragma once
// The scene document's format: from a parsed JSON value to a checked SceneSpec.

#include <nlohmann/json.hpp>

#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

// Throws SceneError naming the path of the first value that breaks the format.
SceneSpec readScene(const nlohmann::json& document);

}  // namespace netmoth::scene
