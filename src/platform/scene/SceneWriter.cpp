#include "platform/scene/SceneWriter.h"

#include <nlohmann/json.hpp>

#include "platform/Base64.h"

namespace netmoth::scene {
namespace {

// Keys stay in the order written, so a recorded file reads like the examples.
using Json = nlohmann::ordered_json;

// An absent value is left out: the reader takes a missing key as absent.
template <typename T>
void putIfSet(Json& object, const char* key, const std::optional<T>& value) {
    if (value) object[key] = *value;
}

void putElements(Json& object, const std::optional<platform::Bytes>& elements) {
    if (elements) object["ie"] = platform::encodeBase64(*elements);
}

Json describe(const ieee80211::RadioFacts& facts) {
    Json object = Json::object();
    putIfSet(object, "ssid", facts.ssid);
    putIfSet(object, "bssid", facts.bssid);
    object["rssi"] = facts.signalDbm;
    putIfSet(object, "frequency", facts.frequencyMHz);
    object["capability"] = facts.capability;
    putElements(object, facts.elements);
    return object;
}

Json describe(const ReportedNetwork& network) {
    Json object = Json::object();
    putIfSet(object, "ssid", network.ssid);
    putIfSet(object, "bssid", network.bssid);
    object["rssi"] = network.rssi;
    putElements(object, network.elements);
    if (const auto& channel = network.channel) {
        object["channel"] = {
            {"number", channel->channelNumber}, {"band", channel->channelBand}, {"width", channel->channelWidth}};
    }
    object["security"] = network.security;
    object["phyModes"] = network.phyModes;
    return object;
}

Json describe(const WrittenNetwork& network) {
    Json object = std::visit([](const auto& description) { return describe(description); }, network.description);
    putIfSet(object, "answersProbeFor", network.answersProbeFor);
    return object;
}

Json describe(const WrittenScan& scan) {
    Json networks = Json::array();
    for (const WrittenNetwork& network : scan.networks) networks.push_back(describe(network));
    return {{"fails", scan.fails}, {"networks", std::move(networks)}};
}

Json describe(const WrittenInterface& interface) {
    Json object = Json::object();
    putIfSet(object, "name", interface.name);
    putIfSet(object, "ssid", interface.ssid);
    putIfSet(object, "bssid", interface.bssid);
    object["rssi"] = interface.rssi;
    if (interface.scan) object["scan"] = describe(*interface.scan);
    return object;
}

Json describe(const WrittenScene& scene) {
    Json location = Json::object();
    putIfSet(location, "authorizationStatus", scene.authorizationStatus);
    location["delivers"] = true;

    Json document = {{"location", std::move(location)}};
    if (scene.interfaces) {
        Json interfaces = Json::array();
        for (const WrittenInterface& interface : *scene.interfaces) interfaces.push_back(describe(interface));
        document["interfaces"] = std::move(interfaces);
    } else {
        document["interfaces"] = nullptr;  // null, unlike absent, is "no list"
    }
    putIfSet(document, "defaultInterface", scene.defaultInterface);
    return document;
}

}  // namespace

std::optional<std::string> writeScene(const WrittenScene& scene) {
    try {
        return describe(scene).dump(2);
    } catch (const Json::type_error&) {
        return std::nullopt;  // a string that is not UTF-8
    }
}

}  // namespace netmoth::scene
