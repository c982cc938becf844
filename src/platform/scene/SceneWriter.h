#pragma once
// A scene document written from what a platform answered, so a run can be
// replayed. The format is in docs/scene-format.md; the reader is SceneParser.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/WiFi.h"
#include "platform/ieee80211/RadioNetwork.h"

namespace netmoth::scene {

// A network written with every value the reports ask of it.
struct ReportedNetwork {
    std::optional<std::string> ssid;
    std::optional<std::string> bssid;
    std::int64_t rssi = 0;
    std::optional<platform::Bytes> elements;
    std::optional<platform::WiFiChannel> channel;
    std::vector<std::int64_t> security;  // the values answered "supported"
    std::vector<std::int64_t> phyModes;
};

// Radio facts are written as a radio-level network: the reader derives
// channel, security and PHY modes from them again.
using NetworkDescription = std::variant<ieee80211::RadioFacts, ReportedNetwork>;

struct WrittenNetwork {
    NetworkDescription description;
    std::optional<std::string> answersProbeFor;
};

struct WrittenScan {
    bool fails = false;
    std::vector<WrittenNetwork> networks;
};

struct WrittenInterface {
    std::optional<std::string> name;
    std::optional<std::string> ssid;
    std::optional<std::string> bssid;
    std::int64_t rssi = 0;
    std::optional<WrittenScan> scan;  // absent: a scan finds nothing
};

struct WrittenScene {
    std::optional<std::int32_t> authorizationStatus;          // absent: the reader's default
    std::optional<std::vector<WrittenInterface>> interfaces;  // absent: no list at all
    std::optional<std::size_t> defaultInterface;              // index into interfaces
};

// JSON indented by two spaces. nullopt when a string is not valid UTF-8,
// which a scene file cannot hold. The location always delivers: a run whose
// permission callback never came never ended on its own.
std::optional<std::string> writeScene(const WrittenScene& scene);

}  // namespace netmoth::scene
