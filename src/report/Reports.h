#pragma once
// The answers, as functions of the values a backend gave: the scan, the
// connected signal, the interfaces and the permission word. Nothing here
// touches a radio or a file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/HiddenSsidIndex.h"
#include "wifi/Values.h"

namespace netmoth::report {

// What a job prints: one line, or nothing at all; and, when the answer is a
// fallback or empty for want of something, why (for standard error).
struct Answer {
    std::optional<std::string> line;  // without its line feed; nullopt: print nothing
    std::string_view why = {};
};

// One record per distinct BSSID, in scan order; hidden networks are numbered
// through `hidden`, which the caller saves. connectedBssid: the default
// interface's BSSID, empty when it has none.
Answer scanReport(const std::vector<wifi::Network>& networks, std::string_view connectedBssid,
                  report::HiddenSsidIndex& hidden);

// "[]": there was no interface to scan with, or the scan failed.
Answer scanFallback(std::string_view why);

Answer connectedSignalReport(const std::optional<wifi::Interface>& defaultInterface);

Answer interfacesReport(const std::optional<std::vector<wifi::Interface>>& interfaces);

std::string_view permissionWord(wifi::Permission permission);

// The security text of a network: its types in the answer's order, joined by ", ".
std::string securityText(const wifi::SecuritySet& security);

// The network's "wifiType": its highest PHY mode, 4 (802.11n) when none is known.
std::int64_t wifiType(const std::optional<wifi::PhyMode>& highest);

namespace why {
inline constexpr std::string_view kNoInterface = "no Wi-Fi interface: connect a Wi-Fi adapter or load its driver";
inline constexpr std::string_view kNoInterfaceList =
    "the system gives no list of Wi-Fi interfaces: check that the Wi-Fi driver is loaded";
inline constexpr std::string_view kScanFailed = "the scan failed, so there is no list of networks: try again";
inline constexpr std::string_view kNotJoined =
    "the Wi-Fi interface is not joined to a network: join one to read its signal";
inline constexpr std::string_view kOutOfMemory =
    "out of memory, so there is no answer: free some memory or raise the limit (ulimit -v)";
inline constexpr std::string_view kNoBssid =
    "the Wi-Fi interface gives no BSSID for its network: try again once it has finished joining";
}  // namespace why

}  // namespace netmoth::report
