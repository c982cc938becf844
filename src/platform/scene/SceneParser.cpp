#include "platform/scene/SceneParser.h"

#include <limits>
#include <span>
#include <type_traits>
#include <utility>

#include "platform/Base64.h"
#include "platform/scene/JsonReader.h"
#include "platform/scene/RadioLevel.h"

namespace netmoth::scene {
namespace {

using nlohmann::json;

constexpr IntegerRange kInt32{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
constexpr IntegerRange kUInt32{0, std::numeric_limits<std::uint32_t>::max()};
constexpr IntegerRange kUInt16{0, std::numeric_limits<std::uint16_t>::max()};

LocationSpec readLocation(const ObjectReader& scene) {
    LocationSpec location;
    const json* value = scene.find("location");
    if (value == nullptr) return location;
    const ObjectReader object(*value, scene.pathOf("location"));
    if (auto status = object.integer("authorizationStatus", kInt32)) {
        location.authorizationStatus = static_cast<std::int32_t>(*status);
    }
    location.delivers = object.boolean("delivers").value_or(true);
    return location;
}

// Missing members take the platform's "unknown" code, 0.
platform::WiFiChannel readChannel(const json& value, const JsonPath& path) {
    const ObjectReader object(value, path);
    return {.channelNumber = object.integer("number").value_or(0),
            .channelWidth = object.integer("width").value_or(0),
            .channelBand = object.integer("band").value_or(0)};
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

ValueSet readValueList(const json& value, const JsonPath& path) {
    return ValueSet(
        readEach(value, path, [](const json& item, const JsonPath& itemPath) { return readInteger(item, itemPath); }));
}

std::optional<platform::Bytes> readElements(const ObjectReader& network) {
    const auto text = network.string("ie");
    if (!text) return std::nullopt;
    auto bytes = platform::decodeBase64(*text);
    if (!bytes) fail(network.pathOf("ie"), "not valid Base64 (standard alphabet, \"=\" padding, no line breaks)");
    return bytes;
}

RadioLevel readRadioLevel(const ObjectReader& network) {
    RadioLevel radio;
    if (auto frequency = network.integer("frequency", kUInt32))
        radio.frequencyMHz = static_cast<std::uint32_t>(*frequency);
    if (auto capability = network.integer("capability", kUInt16))
        radio.capability = static_cast<std::uint16_t>(*capability);
    return radio;
}

NetworkSpec readNetwork(const json& value, const JsonPath& path) {
    const ObjectReader object(value, path);
    NetworkSpec network;
    network.ssid = object.string("ssid");
    network.bssid = object.string("bssid");
    network.rssi = object.integer("rssi").value_or(0);
    network.answersProbeFor = object.string("answersProbeFor");
    network.informationElements = readElements(object);

    // An explicit value always wins over what the radio-level facts derive.
    const RadioLevel radio = readRadioLevel(object);
    std::span<const std::uint8_t> elements;
    if (network.informationElements) elements = *network.informationElements;
    const json* channel = object.find("channel");
    network.channel = channel ? readChannel(*channel, object.pathOf("channel")) : radio.channel(elements);
    const json* security = object.find("security");
    network.security = security ? readValueList(*security, object.pathOf("security")) : radio.security(elements);
    const json* phyModes = object.find("phyModes");
    network.phyModes = phyModes ? readValueList(*phyModes, object.pathOf("phyModes")) : radio.phyModes(elements);
    return network;
}

ScanSpec readScan(const ObjectReader& interface) {
    ScanSpec scan;
    const json* value = interface.find("scan");
    if (value == nullptr) return scan;
    const ObjectReader object(*value, interface.pathOf("scan"));
    scan.fails = object.boolean("fails").value_or(false);
    if (const json* networks = object.find("networks")) {
        scan.networks = readEach(*networks, object.pathOf("networks"), readNetwork);
    }
    return scan;
}

InterfaceSpec readInterface(const json& value, const JsonPath& path) {
    const ObjectReader object(value, path);
    InterfaceSpec interface;
    interface.name = object.string("name");
    interface.ssid = object.string("ssid");
    interface.bssid = object.string("bssid");
    interface.rssi = object.integer("rssi").value_or(0);
    interface.scan = readScan(object);
    return interface;
}

// "interfaces" absent: an empty list; null: the client gives no list.
std::optional<std::vector<InterfaceSpec>> readInterfaces(const json& document, const ObjectReader& scene) {
    const auto it = document.find("interfaces");
    if (it == document.end()) return std::vector<InterfaceSpec>{};
    if (it->is_null()) return std::nullopt;
    return readEach(*it, scene.pathOf("interfaces"), readInterface);
}

std::optional<std::size_t> readDefaultInterface(const ObjectReader& scene,
                                                const std::optional<std::vector<InterfaceSpec>>& interfaces) {
    const auto index = scene.integer("defaultInterface");
    if (!index) return std::nullopt;
    const std::size_t count = interfaces ? interfaces->size() : 0;
    if (*index < 0 || static_cast<std::uint64_t>(*index) >= count) {
        fail(scene.pathOf("defaultInterface"), "index " + std::to_string(*index) + " is out of range: the scene has " +
                                                   std::to_string(count) + " interface(s)");
    }
    return static_cast<std::size_t>(*index);
}

}  // namespace

SceneSpec readScene(const json& document) {
    const ObjectReader scene(document, JsonPath());
    SceneSpec spec;
    spec.location = readLocation(scene);
    spec.interfaces = readInterfaces(document, scene);
    spec.defaultInterface = readDefaultInterface(scene, spec.interfaces);
    return spec;
}

}  // namespace netmoth::scene
