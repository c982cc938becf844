#include "scene/SceneWriter.h"

#include <nlohmann/json.hpp>

#include "util/Base64.h"
#include "scene/PlatformCodes.h"

namespace netmoth::scene {
namespace {

// Keys stay in the order written, so a recorded file reads like the examples.
using Json = nlohmann::ordered_json;

// An absent value is left out: the reader takes a missing key as absent.
template <typename T>
void putIfSet(Json& object, const char* key, const std::optional<T>& value) {
    if (value) object[key] = *value;
}

Json describe(const SceneNetwork& scanned) {
    const wifi::Network& network = scanned.network;
    Json object = Json::object();
    putIfSet(object, "ssid", network.ssid);
    putIfSet(object, "bssid", network.bssid);
    object["rssi"] = network.rssi;
    if (network.elements) object["ie"] = util::encodeBase64(*network.elements);
    if (network.channel) {
        const ChannelCodes codes = channelCodes(*network.channel);
        object["channel"] = {{"number", codes.number}, {"band", codes.band}, {"width", codes.width}};
    }
    object["security"] = securityCodes(network.security);
    object["phyModes"] = phyModeCodes(network.highestPhyMode);
    putIfSet(object, "answersProbeFor", scanned.answersProbeFor);
    return object;
}

Json describe(const SceneInterface& listed) {
    const wifi::Interface& interface = listed.interface;
    Json object = Json::object();
    putIfSet(object, "name", interface.name);
    putIfSet(object, "ssid", interface.ssid);
    putIfSet(object, "bssid", interface.bssid);
    object["rssi"] = interface.rssi;
    if (!listed.scan.fails && listed.scan.networks.empty()) return object;  // absent scan: finds nothing
    Json networks = Json::array();
    for (const SceneNetwork& network : listed.scan.networks) networks.push_back(describe(network));
    object["scan"] = {{"fails", listed.scan.fails}, {"networks", std::move(networks)}};
    return object;
}

Json describeLocation(const std::optional<wifi::Permission>& permission) {
    if (!permission) return {{"delivers", false}};
    return {{"authorizationStatus", authorizationStatus(*permission)}, {"delivers", true}};
}

Json describe(const Scene& scene) {
    Json document = {{"location", describeLocation(scene.permission)}};
    if (scene.interfaces) {
        Json interfaces = Json::array();
        for (const SceneInterface& interface : *scene.interfaces) interfaces.push_back(describe(interface));
        document["interfaces"] = std::move(interfaces);
    } else {
        document["interfaces"] = nullptr;  // null, unlike absent, is "no list"
    }
    putIfSet(document, "defaultInterface", scene.defaultInterface);
    return document;
}

}  // namespace

std::optional<std::string> writeScene(const Scene& scene) {
    try {
        return describe(scene).dump(2);
    } catch (const Json::type_error&) {
        return std::nullopt;  // a string that is not UTF-8
    }
}

}  // namespace netmoth::scene
