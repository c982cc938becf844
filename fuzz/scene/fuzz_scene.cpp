// Arbitrary bytes as a scene document: the loader answers with exactly one of a
// scene or a one-line error, and a loaded scene's client answers consistently.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/scene/Scene.h"

namespace {

using namespace netmoth;

void check(bool property) {
    if (!property) std::abort();
}

// A scan for a name reports only networks under that name, never more than an
// unnamed scan, and fails exactly when the unnamed scan does.
void scanByName(platform::WiFiInterface& interface, const std::string& name, const platform::NetworkList* all) {
    const auto found = interface.scanForNetworks(name, true);
    check(found.has_value() == (all != nullptr));
    if (!found) return;
    check(found->size() <= all->size());
    for (const auto& network : *found) check(network->ssid() == name);
}

void checkInterface(platform::WiFiInterface& interface) {
    const auto all = interface.scanForNetworks(std::nullopt, true);
    const platform::NetworkList* list = all ? &*all : nullptr;
    for (const char* name : {"", "Lab", "Home"}) scanByName(interface, name, list);
    for (std::size_t i = 0; list && i < list->size(); ++i) {
        if (auto ssid = (*list)[i]->ssid()) scanByName(interface, *ssid, list);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto result = scene::parseScene(std::string_view(reinterpret_cast<const char*>(data), size));
    check((result.scene == nullptr) != result.error.empty());
    if (!result.scene) {
        check(result.error.find('\n') == std::string::npos);
        return 0;
    }
    auto& client = result.scene->client();
    const auto interfaces = client.interfaces();
    if (platform::WiFiInterface* chosen = client.interface()) {
        check(interfaces && std::find(interfaces->begin(), interfaces->end(), chosen) != interfaces->end());
    }
    for (platform::WiFiInterface* interface : interfaces.value_or(std::vector<platform::WiFiInterface*>{})) {
        checkInterface(*interface);
    }
    return 0;
}
