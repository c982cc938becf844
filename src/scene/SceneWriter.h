#pragma once
// The scene model written as a scene document that reads back to the same
// values. The format is in docs/scene-format.md; the reader is SceneReader.

#include <optional>
#include <string>

#include "scene/Scene.h"

namespace netmoth::scene {

// JSON indented by two spaces, keys in the order the examples use. nullopt
// when a string is not valid UTF-8, which a scene file cannot hold.
std::optional<std::string> writeScene(const Scene& scene);

}  // namespace netmoth::scene
