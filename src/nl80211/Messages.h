#pragma once
// What one nl80211 message says, parsed from the attribute bytes that follow
// its generic-netlink header: interface, BSS and station replies, scan events.
// Pure functions: malformed or truncated bytes give nullopt and are never read
// past their end.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "wifi/Values.h"

namespace netmoth::nl80211 {

using AttributeBytes = std::span<const std::uint8_t>;

// A wireless device: a netdev has an interface index, a P2P device only a wdev id.
struct DeviceId {
    std::optional<std::uint32_t> ifindex;
    std::optional<std::uint64_t> wdev;
    friend bool operator==(const DeviceId&, const DeviceId&) = default;
};

struct InterfaceInfo {
    DeviceId device;
    std::optional<std::string> name;    // the bytes of the netdev name, not yet text
    std::optional<std::uint32_t> type;  // an nl80211_iftype
    std::optional<wifi::Bytes> ssid;    // of the network it is joined to
    friend bool operator==(const InterfaceInfo&, const InterfaceInfo&) = default;
};

struct BssEntry {
    std::string bssid;  // lower-case "aa:bb:cc:dd:ee:ff"
    std::optional<std::uint32_t> frequencyMHz;
    std::optional<std::uint16_t> capability;
    std::optional<std::int32_t> signalMbm;
    std::optional<wifi::Bytes> elements;  // as last received (probe response)
    std::optional<wifi::Bytes> beaconElements;
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

// Every reply the parser accepts, in reply order; none when there were no replies.
template <class Parser>
auto parseEach(const std::optional<std::vector<wifi::Bytes>>& replies, Parser parse) {
    std::vector<typename decltype(parse(AttributeBytes{}))::value_type> parsed;
    if (!replies) return parsed;
    for (const auto& reply : *replies) {
        if (auto value = parse(AttributeBytes(reply))) parsed.push_back(std::move(*value));
    }
    return parsed;
}

}  // namespace netmoth::nl80211
