// Arbitrary bytes as a scene document: the reader answers with exactly one of
// a scene or a one-line error, and a scene's backend answers consistently.
#include <algorithm>
#include <cstdint>

#include "FuzzCheck.h"
#include "scene/SceneBackend.h"
#include "scene/SceneReader.h"

using namespace netmoth;

// A scan for a name reports only networks under that name, never more than an
// unnamed scan, and fails exactly when the unnamed scan does. A backend scans
// once, so each scan is of a backend of its own.
static void scanByName(const scene::Scene& read, const std::string& name,
                       const std::optional<std::vector<wifi::Network>>& all) {
    scene::SceneBackend backend(read);
    const auto found = backend.scan(name);
    require(found.has_value() == all.has_value());
    for (std::size_t i = 0; found && i < found->size(); ++i) require((*found)[i].ssid == name && i < all->size());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto reading = scene::readScene(std::string_view(reinterpret_cast<const char*>(data), size));
    require(reading.scene.has_value() == reading.error.empty());
    if (!reading.scene) return require(reading.error.find('\n') == std::string::npos), 0;
    const scene::Scene& read = *reading.scene;
    scene::SceneBackend backend(read);
    const auto interfaces = backend.interfaces();
    const auto all = backend.scan(std::nullopt);
    const auto chosen = backend.defaultInterface();  // only the default interface scans
    require(chosen ? interfaces && std::ranges::count(*interfaces, *chosen) > 0 : !all);
    for (const char* name : {"", "Lab", "Home"}) scanByName(read, name, all);
    for (std::size_t i = 0; all && i < all->size(); ++i)
        if (const auto& ssid = (*all)[i].ssid) scanByName(read, *ssid, all);
    return 0;
}
