#include "platform/scene/Scene.h"

#include <new>
#include <utility>

#include <nlohmann/json.hpp>

#include "platform/FixedLocationManager.h"
#include "platform/scene/JsonReader.h"
#include "platform/scene/SceneParser.h"

namespace netmoth::scene {
namespace {

// nlohmann's message without its "[json.exception.parse_error.101] " prefix.
std::string parseErrorText(const nlohmann::json::parse_error& error) {
    std::string_view message = error.what();
    if (const auto end = message.find("] "); message.starts_with('[') && end != std::string_view::npos) {
        message.remove_prefix(end + 2);
    }
    return "invalid JSON at byte " + std::to_string(error.byte) + ": " + std::string(message);
}

SceneLoadResult failure(std::string error) { return {nullptr, std::move(error)}; }

}  // namespace

Scene::Scene(SceneSpec spec) : location_(spec.location), client_(std::move(spec.interfaces), spec.defaultInterface) {}

std::unique_ptr<platform::LocationManager> Scene::makeLocationManager(platform::RunLoop& runLoop) const {
    return std::make_unique<platform::FixedLocationManager>(runLoop, location_.authorizationStatus, location_.delivers);
}

SceneLoadResult parseScene(std::string_view json) {
    // nlohmann takes a NUL byte for the end of the input and would accept
    // whatever follows; no JSON text holds a raw NUL anywhere.
    if (const auto nul = json.find('\0'); nul != std::string_view::npos) {
        return failure("invalid JSON at byte " + std::to_string(nul + 1) + ": a NUL byte");
    }
    try {
        const auto document = nlohmann::json::parse(json.begin(), json.end());
        return {std::make_unique<Scene>(readScene(document)), {}};
    } catch (const nlohmann::json::parse_error& error) {
        return failure(parseErrorText(error));
    } catch (const SceneError& error) {
        return failure(error.message);
    } catch (const std::bad_alloc&) {
        return failure("out of memory");
    } catch (const std::exception& error) {
        return failure(std::string("cannot read the scene: ") + error.what());
    }
}

}  // namespace netmoth::scene
