#include "reports/InterfacesReport.h"

#include "platform/JsonWriter.h"

namespace netmoth::reports {

ReportOutcome buildInterfacesReport(platform::WiFiClient& sharedClient) {
    constexpr std::string_view kEmptyObject = "{}";
    const std::optional<std::vector<platform::WiFiInterface*>> interfaces = sharedClient.interfaces();
    if (!interfaces) return {false, std::nullopt, kEmptyObject, std::nullopt, why::kNoInterfaceList};
    nlohmann::json report = nlohmann::json::object();
    for (platform::WiFiInterface* interface : *interfaces) {
        const std::optional<std::string> name = interface->interfaceName();
        if (!name) continue;  // nothing to key it by
        // A later interface of the same name replaces the earlier one.
        report[*name] = {{"ssid", interface->ssid().value_or("")}, {"bssid", interface->bssid().value_or("")}};
    }
    const std::string_view explanation = interfaces->empty() ? why::kNoInterface : std::string_view();
    return {true, platform::writePrettyJson(report), kEmptyObject, std::nullopt, explanation};
}

}  // namespace netmoth::reports
