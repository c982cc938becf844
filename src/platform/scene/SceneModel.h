#pragma once
// A scene as plain values, checked and complete: what the loader produces and
// the simulated client and location manager serve.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/WiFi.h"

namespace netmoth::scene {

// The raw platform values a network answers true for.
class ValueSet {
public:
    ValueSet() = default;
    explicit ValueSet(std::vector<std::int64_t> values);
    // Bit n set: value n is in the set.
    static ValueSet fromMask(std::uint32_t mask);

    bool contains(std::int64_t value) const { return std::binary_search(sorted_.begin(), sorted_.end(), value); }

private:
    std::vector<std::int64_t> sorted_;
};

struct NetworkSpec {
    std::optional<std::string> ssid;
    std::optional<std::string> bssid;
    std::int64_t rssi = 0;
    std::optional<platform::Bytes> informationElements;
    std::optional<platform::WiFiChannel> channel;
    ValueSet security;
    ValueSet phyModes;
    // A directed probe for this name finds the network and reports it under that name.
    std::optional<std::string> answersProbeFor;
};

struct ScanSpec {
    bool fails = false;
    std::vector<NetworkSpec> networks;
};

struct InterfaceSpec {
    std::optional<std::string> name;
    std::optional<std::string> ssid;
    std::optional<std::string> bssid;
    std::int64_t rssi = 0;
    ScanSpec scan;
};

struct LocationSpec {
    std::int32_t authorizationStatus = 3;
    bool delivers = true;
};

struct SceneSpec {
    LocationSpec location;
    // nullopt: the client gives no list.
    std::optional<std::vector<InterfaceSpec>> interfaces;
    // Index into interfaces; nullopt: no default interface.
    std::optional<std::size_t> defaultInterface;
};

}  // namespace netmoth::scene
