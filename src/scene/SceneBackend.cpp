#include "scene/SceneBackend.h"

#include <utility>

#include "scene/SceneReader.h"
#include "util/Memory.h"

namespace netmoth::scene {

// A scene built in code rather than read may point past its list: no default then.
SceneInterface* SceneBackend::chosen() {
    const auto& index = scene_.defaultInterface;
    if (!index || !scene_.interfaces || *index >= scene_.interfaces->size()) return nullptr;
    return &(*scene_.interfaces)[*index];
}

std::optional<wifi::Interface> SceneBackend::defaultInterface() {
    if (const SceneInterface* listed = chosen()) return listed->interface;
    return std::nullopt;
}

std::optional<std::vector<wifi::Interface>> SceneBackend::interfaces() {
    if (!scene_.interfaces) return std::nullopt;
    std::vector<wifi::Interface> list;
    list.reserve(scene_.interfaces->size());
    for (const SceneInterface& listed : *scene_.interfaces) list.push_back(listed.interface);
    return list;
}

std::optional<std::vector<wifi::Network>> SceneBackend::scan(const std::optional<std::string>& name) {
    SceneInterface* listed = chosen();
    if (listed == nullptr || listed->scan.fails || scanned_) return std::nullopt;
    scanned_ = true;
    // Handed over, not copied: a copy held every network twice at once.
    std::vector<SceneNetwork> networks = std::move(listed->scan.networks);
    std::vector<wifi::Network> found;
    found.reserve(networks.size());
    util::adviseHugePages(found.data(), found.capacity() * sizeof(wifi::Network));
    for (SceneNetwork& scanned : networks) {
        const bool answersProbe = name && scanned.network.ssid != name;
        // A hidden network answers a directed probe for its name with that name.
        if (answersProbe && scanned.answersProbeFor != name) continue;
        found.push_back(std::move(scanned.network));
        if (answersProbe) found.back().ssid = name;
    }
    return found;
}

SceneBackendLoad loadSceneBackend(const std::string& path) {
    SceneReading reading = readSceneFile(path);
    if (!reading.scene) return {nullptr, std::move(reading.error)};
    return {std::make_unique<SceneBackend>(std::move(*reading.scene)), {}};
}

}  // namespace netmoth::scene
