// Arbitrary bytes as a scene document: the loader answers with exactly one of a
// scene or a one-line error, and a loaded scene answers every query sanely.
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

void queryNetwork(const platform::WiFiNetwork& network) {
    (void)network.bssid();
    (void)network.rssiValue();
    (void)network.informationElementData();
    (void)network.wlanChannel();
    for (std::int64_t value = -1; value <= 64; ++value) {
        (void)network.supportsSecurity(value);
        (void)network.supportsPHYMode(value);
    }
}

// A scan for a name only reports networks under that name, and never more than an unnamed scan.
void scanByName(platform::WiFiInterface& interface, const std::string& name, std::size_t everyNetwork) {
    const auto found = interface.scanForNetworks(name, true);
    if (!found) return;
    check(found->size() <= everyNetwork);
    for (const auto& network : *found) check(network->ssid() == name);
}

void queryInterface(platform::WiFiInterface& interface) {
    (void)interface.interfaceName();
    (void)interface.bssid();
    (void)interface.rssiValue();
    const auto all = interface.scanForNetworks(std::nullopt, true);
    check(all.has_value() == interface.scanForNetworks(std::nullopt, false).has_value());
    if (!all) return;
    for (const auto& network : *all) queryNetwork(*network);
    for (const char* name : {"", "Lab", "Home"}) scanByName(interface, name, all->size());
    for (const auto& network : *all) {
        if (auto ssid = network->ssid()) scanByName(interface, *ssid, all->size());
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
    platform::WiFiInterface* defaultInterface = client.interface();
    if (defaultInterface != nullptr) {
        check(interfaces && std::find(interfaces->begin(), interfaces->end(), defaultInterface) != interfaces->end());
    }
    if (interfaces) {
        for (platform::WiFiInterface* interface : *interfaces) queryInterface(*interface);
    }
    platform::RunLoop runLoop;
    (void)result.scene->makeLocationManager(runLoop)->authorizationStatus();
    return 0;
}
