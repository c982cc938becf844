// The answers about interfaces: the connected signal and the interface list.

#include "util/JsonWriter.h"
#include "report/Reports.h"
#include "report/UnicodeUppercase.h"

namespace netmoth::report {
namespace {

constexpr std::string_view kEmptyObject = "{}";

}  // namespace

Answer connectedSignalReport(const std::optional<wifi::Interface>& defaultInterface) {
    if (!defaultInterface) return {std::string(kEmptyObject), why::kNoInterface};
    if (!defaultInterface->ssid) return {std::string(kEmptyObject), why::kNotJoined};
    if (!defaultInterface->bssid) return {std::string(kEmptyObject), why::kNoBssid};
    const nlohmann::json report = {
        {"ssid", *defaultInterface->ssid},
        {"bssid", report::uppercased(*defaultInterface->bssid)},
        {"rssi", defaultInterface->rssi},
    };
    return {util::writePrettyJson(report).value_or(std::string(kEmptyObject)), {}};
}

Answer interfacesReport(const std::optional<std::vector<wifi::Interface>>& interfaces) {
    if (!interfaces) return {std::string(kEmptyObject), why::kNoInterfaceList};
    nlohmann::json report = nlohmann::json::object();
    for (const wifi::Interface& interface : *interfaces) {
        if (!interface.name) continue;  // nothing to key it by
        // A later interface of the same name replaces the earlier one.
        report[*interface.name] = {{"ssid", interface.ssid.value_or("")}, {"bssid", interface.bssid.value_or("")}};
    }
    return {util::writePrettyJson(report), interfaces->empty() ? why::kNoInterface : std::string_view()};
}

}  // namespace netmoth::report
