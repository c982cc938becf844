#pragma once
// What a report hands to the output step: its answer already written as
// pretty-printed JSON, or the news that it could not be built at all.

#include <optional>
#include <string>
#include <string_view>

namespace netmoth::reports {

struct ReportOutcome {
    // False when the report could not be built: unbuiltText is printed instead.
    bool built = false;
    // The written answer; nullopt when some value could not be written.
    std::optional<std::string> text;
    // "{}" or "[]".
    std::string_view unbuiltText;
    // Printed when the answer could not be written; absent: nothing is printed.
    std::optional<std::string_view> unwritableText;
    // Why the answer is a fallback or empty, for standard error; empty when
    // there is nothing to explain. The platform may know a more precise cause.
    std::string_view explanation = {};
};

namespace why {
inline constexpr std::string_view kNoInterface =
    "no Wi-Fi interface: connect a Wi-Fi adapter or load its driver";
inline constexpr std::string_view kNoInterfaceList =
    "the system gives no list of Wi-Fi interfaces: check that the Wi-Fi driver is loaded";
inline constexpr std::string_view kScanFailed = "the scan failed, so there is no list of networks: try again";
inline constexpr std::string_view kNotJoined =
    "the Wi-Fi interface is not joined to a network: join one to read its signal";
inline constexpr std::string_view kNoBssid =
    "the Wi-Fi interface gives no BSSID for its network: try again once it has finished joining";
}  // namespace why

}  // namespace netmoth::reports
