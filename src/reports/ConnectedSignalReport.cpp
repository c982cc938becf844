#include "reports/ConnectedSignalReport.h"

#include "platform/JsonWriter.h"
#include "reports/UnicodeUppercase.h"

namespace netmoth::reports {
namespace {

constexpr std::string_view kEmptyObject = "{}";

}  // namespace

ReportOutcome buildConnectedSignalReport(platform::WiFiClient& client) {
    const auto unbuilt = [](std::string_view why) {
        return ReportOutcome{false, std::nullopt, kEmptyObject, kEmptyObject, why};
    };
    platform::WiFiInterface* interface = client.interface();
    if (interface == nullptr) return unbuilt(why::kNoInterface);
    std::optional<std::string> ssid = interface->ssid();
    if (!ssid) return unbuilt(why::kNotJoined);
    const std::optional<std::string> bssid = interface->bssid();
    if (!bssid) return unbuilt(why::kNoBssid);
    const nlohmann::json report = {
        {"ssid", std::move(*ssid)},
        {"bssid", uppercased(*bssid)},
        {"rssi", interface->rssiValue()},
    };
    return {true, platform::writePrettyJson(report), kEmptyObject, kEmptyObject};
}

}  // namespace netmoth::reports
