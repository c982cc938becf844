#include "reports/ConnectedSignalReport.h"

#include "platform/JsonWriter.h"
#include "reports/UnicodeUppercase.h"

namespace netmoth::reports {

ReportOutcome buildConnectedSignalReport(platform::WiFiClient& client) {
    constexpr std::string_view kEmptyObject = "{}";
    const ReportOutcome unbuilt{false, std::nullopt, kEmptyObject, kEmptyObject};
    platform::WiFiInterface* interface = client.interface();
    if (interface == nullptr) return unbuilt;
    std::optional<std::string> ssid = interface->ssid();
    if (!ssid) return unbuilt;
    const std::optional<std::string> bssid = interface->bssid();
    if (!bssid) return unbuilt;
    const nlohmann::json report = {
        {"ssid", std::move(*ssid)},
        {"bssid", uppercased(*bssid)},
        {"rssi", interface->rssiValue()},
    };
    return {true, platform::writePrettyJson(report), kEmptyObject, kEmptyObject};
}

}  // namespace netmoth::reports
