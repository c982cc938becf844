#pragma once
// What one nl80211 reply says, parsed from the attribute bytes that follow
// its generic-netlink header. Pure functions: malformed or truncated bytes
// give nullopt and are never read past their end.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/WiFi.h"

namespace netmoth::linux_backend {

using AttributeBytes = std::span<const std::uint8_t>;

// A wireless device: a netdev has an interface index, a P2P device only a wdev id.
struct DeviceId {
    std::optional<std::uint32_t> ifindex;
    std::optional<std::uint64_t> wdev;

    friend bool operator==(const DeviceId&, const DeviceId&) = default;
};

// Whether two ids, either perhaps lacking a field, name one device.
bool sameDevice(const DeviceId& a, const DeviceId& b);

struct InterfaceInfo {
    DeviceId device;
    std::optional<std::string> name;
    std::optional<std::uint32_t> type;  // an nl80211_iftype
    std::optional<platform::Bytes> ssid;

    friend bool operator==(const InterfaceInfo&, const InterfaceInfo&) = default;
};

struct BssEntry {
    std::string bssid;  // lower-case "aa:bb:cc:dd:ee:ff"
    std::optional<std::uint32_t> frequencyMHz;
    std::optional<std::uint16_t> capability;
    std::optional<std::int32_t> signalMbm;
    std::optional<platform::Bytes> elements;  // as last received (probe response)
    std::optional<platform::Bytes> beaconElements;
    std::optional<std::uint32_t> status;  // an nl80211_bss_status

    friend bool operator==(const BssEntry&, const BssEntry&) = default;
};

struct StationInfo {
    std::string mac;  // lower-case "aa:bb:cc:dd:ee:ff"
    std::optional<std::int8_t> signalDbm;

    friend bool operator==(const StationInfo&, const StationInfo&) = default;
};

// NL80211_CMD_NEW_INTERFACE; nullopt without an interface index or wdev id.
std::optional<InterfaceInfo> parseInterface(AttributeBytes attributes);

// NL80211_CMD_NEW_SCAN_RESULTS (one BSS of a scan dump); nullopt without a BSSID.
std::optional<BssEntry> parseBss(AttributeBytes attributes);

// NL80211_CMD_NEW_STATION; nullopt without a MAC address.
std::optional<StationInfo> parseStation(AttributeBytes attributes);

// True for a "scan finished" or "scan aborted" event about device.
bool isScanEndOf(const DeviceId& device, std::uint8_t command, AttributeBytes attributes);

// Every reply the parser accepts, in reply order.
template <class Parser>
auto parseEach(const std::vector<platform::Bytes>& replies, Parser parse) {
    std::vector<typename decltype(parse(AttributeBytes{}))::value_type> parsed;
    for (const auto& reply : replies) {
        if (auto value = parse(AttributeBytes(reply))) parsed.push_back(std::move(*value));
    }
    return parsed;
}

}  // namespace netmoth::linux_backend
