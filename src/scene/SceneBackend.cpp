#include "scene/SceneBackend.h"

#include <utility>

#include "scene/SceneReader.h"

namespace netmoth::scene {

std::optional<wifi::Interface> SceneBackend::defaultInterface() {
    if (!scene_.defaultInterface) return std::nullopt;
    return (*scene_.interfaces)[*scene_.defaultInterface].interface;
}

std::optional<std::vector<wifi::Interface>> SceneBackend::interfaces() {
    if (!scene_.interfaces) return std::nullopt;
    std::vector<wifi::Interface> list;
    list.reserve(scene_.interfaces->size());
    for (const SceneInterface& listed : *scene_.interfaces) list.push_back(listed.interface);
    return list;
}

std::optional<std::vector<wifi::Network>> SceneBackend::scan(const std::optional<std::string>& name) {
    if (!scene_.defaultInterface) return std::nullopt;
    const SceneScan& scan = (*scene_.interfaces)[*scene_.defaultInterface].scan;
    if (scan.fails) return std::nullopt;
    std::vector<wifi::Network> found;
    for (const SceneNetwork& scanned : scan.networks) {
        if (name && scanned.network.ssid != name) {
            // A hidden network answers a directed probe for its name with that name.
            if (scanned.answersProbeFor != name) continue;
            found.push_back(scanned.network);
            found.back().ssid = name;
            continue;
        }
        found.push_back(scanned.network);
    }
    return found;
}

SceneBackendLoad loadSceneBackend(const std::string& path) {
    SceneReading reading = readSceneFile(path);
    if (!reading.scene) return {nullptr, std::move(reading.error)};
    return {std::make_unique<SceneBackend>(std::move(*reading.scene)), {}};
}

}  // namespace netmoth::scene
