#include "scene/SceneReader.h"

#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include <nlohmann/json.hpp>

#include "ieee80211/Bss.h"
#include "util/Base64.h"
#include "scene/JsonReader.h"
#include "scene/PlatformCodes.h"

namespace netmoth::scene {
namespace {

using nlohmann::json;

constexpr IntegerRange kInt32{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
constexpr IntegerRange kUInt32{0, std::numeric_limits<std::uint32_t>::max()};
constexpr IntegerRange kUInt16{0, std::numeric_limits<std::uint16_t>::max()};

std::optional<wifi::Permission> readPermission(const ObjectReader& scene) {
    const json* value = scene.find("location");
    if (value == nullptr) return wifi::Permission::Authorized;
    const ObjectReader location(*value, scene.pathOf("location"));
    const std::int64_t status = location.integer("authorizationStatus", kInt32).value_or(3);
    if (!location.boolean("delivers").value_or(true)) return std::nullopt;
    return permissionFromStatus(status);
}

// Every element of an array, read by read(element, itsPath).
template <typename Read>
auto readEach(const json& value, const JsonPath& path, Read read) {
    const auto& array = readArray(value, path);
    std::vector<std::invoke_result_t<Read, const json&, const JsonPath&>> items;
    items.reserve(array.size());
    for (std::size_t i = 0; i < array.size(); ++i) items.push_back(read(array[i], path.element(i)));
    return items;
}

std::optional<std::vector<std::int64_t>> readCodes(const ObjectReader& network, std::string_view key) {
    const json* value = network.find(key);
    if (value == nullptr) return std::nullopt;
    return readEach(*value, network.pathOf(key),
                    [](const json& item, const JsonPath& itemPath) { return readInteger(item, itemPath); });
}

// Missing members take the "unknown" code, 0.
std::optional<wifi::Channel> readChannel(const ObjectReader& network) {
    const json* value = network.find("channel");
    if (value == nullptr) return std::nullopt;
    const ObjectReader channel(*value, network.pathOf("channel"));
    return channelFromCodes({.number = channel.integer("number").value_or(0),
                             .band = channel.integer("band").value_or(0),
                             .width = channel.integer("width").value_or(0)});
}

std::optional<wifi::Bytes> readElements(const ObjectReader& network) {
    const auto text = network.string("ie");
    if (!text) return std::nullopt;
    auto bytes = util::decodeBase64(*text);
    if (!bytes) fail(network.pathOf("ie"), "not valid Base64 (standard alphabet, \"=\" padding, no line breaks)");
    return bytes;
}

// A network that gives a frequency or a capability is described as the radio
// reports it: the decoder derives what it leaves out, its name included.
wifi::Network describedNetwork(ieee80211::RadioFacts facts, bool radioLevel) {
    if (radioLevel) return ieee80211::networkFrom(facts);
    wifi::Network network;
    network.bssid = std::move(facts.bssid);
    network.ssid = std::move(facts.ssid);
    network.rssi = facts.signalDbm;
    network.elements = std::move(facts.elements);
    return network;
}

// Values are read in the order an error names the first bad one.
SceneNetwork readNetwork(const json& value, const JsonPath& path) {
    const ObjectReader object(value, path);
    ieee80211::RadioFacts facts;
    facts.ssid = object.string("ssid");
    facts.bssid = object.string("bssid");
    facts.signalDbm = object.integer("rssi").value_or(0);
    SceneNetwork scanned;
    scanned.answersProbeFor = object.string("answersProbeFor");
    facts.elements = readElements(object);
    if (auto frequency = object.integer("frequency", kUInt32)) facts.frequencyMHz = static_cast<std::uint32_t>(*frequency);
    const auto capability = object.integer("capability", kUInt16);
    facts.capability = static_cast<std::uint16_t>(capability.value_or(0));
    const auto channel = readChannel(object);
    const auto security = readCodes(object, "security");
    const auto phyModes = readCodes(object, "phyModes");

    const bool radioLevel = facts.frequencyMHz || capability;
    scanned.network = describedNetwork(std::move(facts), radioLevel);
    // An explicit value always wins over what the radio facts derive.
    if (channel) scanned.network.channel = channel;
    if (security) scanned.network.security = securityFromCodes(*security);
    if (phyModes) scanned.network.highestPhyMode = highestPhyModeFromCodes(*phyModes);
    return scanned;
}

SceneScan readScan(const ObjectReader& interface) {
    SceneScan scan;
    const json* value = interface.find("scan");
    if (value == nullptr) return scan;
    const ObjectReader object(*value, interface.pathOf("scan"));
    scan.fails = object.boolean("fails").value_or(false);
    if (const json* networks = object.find("networks")) {
        scan.networks = readEach(*networks, object.pathOf("networks"), readNetwork);
    }
    return scan;
}

SceneInterface readInterface(const json& value, const JsonPath& path) {
    const ObjectReader object(value, path);
    SceneInterface read;
    read.interface.name = object.string("name");
    read.interface.ssid = object.string("ssid");
    read.interface.bssid = object.string("bssid");
    read.interface.rssi = object.integer("rssi").value_or(0);
    read.scan = readScan(object);
    return read;
}

// "interfaces" absent: an empty list; null: the platform gives no list.
std::optional<std::vector<SceneInterface>> readInterfaces(const json& document, const ObjectReader& scene) {
    const auto it = document.find("interfaces");
    if (it == document.end()) return std::vector<SceneInterface>{};
    if (it->is_null()) return std::nullopt;
    return readEach(*it, scene.pathOf("interfaces"), readInterface);
}

std::optional<std::size_t> readDefaultInterface(const ObjectReader& scene,
                                                const std::optional<std::vector<SceneInterface>>& interfaces) {
    const auto index = scene.integer("defaultInterface");
    if (!index) return std::nullopt;
    const std::size_t count = interfaces ? interfaces->size() : 0;
    if (*index < 0 || static_cast<std::uint64_t>(*index) >= count) {
        fail(scene.pathOf("defaultInterface"), "index " + std::to_string(*index) + " is out of range: the scene has " +
                                                   std::to_string(count) + " interface(s)");
    }
    return static_cast<std::size_t>(*index);
}

Scene readDocument(const json& document) {
    const ObjectReader object(document, JsonPath());
    Scene scene;
    scene.permission = readPermission(object);
    scene.interfaces = readInterfaces(document, object);
    scene.defaultInterface = readDefaultInterface(object, scene.interfaces);
    return scene;
}

// nlohmann's message without its "[json.exception.parse_error.101] " prefix.
std::string parseErrorText(const json::parse_error& error) {
    std::string_view message = error.what();
    if (const auto end = message.find("] "); message.starts_with('[') && end != std::string_view::npos) {
        message.remove_prefix(end + 2);
    }
    return "invalid JSON at byte " + std::to_string(error.byte) + ": " + std::string(message);
}

SceneReading failure(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

SceneReading readScene(std::string_view text) {
    // nlohmann takes a NUL byte for the end of the input and would accept
    // whatever follows; no JSON text holds a raw NUL anywhere.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        return failure("invalid JSON at byte " + std::to_string(nul + 1) + ": a NUL byte");
    }
    try {
        return {readDocument(json::parse(text.begin(), text.end())), {}};
    } catch (const json::parse_error& error) {
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
