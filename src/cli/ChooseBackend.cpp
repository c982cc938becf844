#include "cli/ChooseBackend.h"

#include <cstdlib>

#include "nl80211/Nl80211Backend.h"
#include "scene/RecordingBackend.h"
#include "scene/SceneBackend.h"

namespace netmoth::cli {
namespace {

// secure_getenv hides the environment from a binary with raised privileges.
const char* variable(const char* name) {
    const char* value = secure_getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

ChosenBackend chooseBackend(util::Diagnostics& diagnostics) {
    if (const char* scenePath = variable("NETMOTH_SCENE")) {
        scene::SceneBackendLoad loaded = scene::loadSceneBackend(scenePath);
        return {std::move(loaded.backend), std::move(loaded.error)};
    }
    std::unique_ptr<wifi::Backend> radio = nl80211::makeNl80211Backend(diagnostics);
    // Only the real radio is worth recording: a scene run already has its scene.
    if (const char* recordPath = variable("NETMOTH_RECORD")) {
        radio = scene::makeRecordingBackend(std::move(radio), recordPath, diagnostics);
    }
    return {std::move(radio), {}};
}

}  // namespace netmoth::cli
