// The labels a scan record carries for one network.

#include <array>

#include "report/Reports.h"

namespace netmoth::report {
namespace {

// In wifi::Security order, which is the order the answer lists them in.
constexpr std::array<std::string_view, wifi::kSecurityCount> kSecurityLabels{
    "None",     "WEP",          "WPA-PSK",  "WPA/WPA2-PSK", "WPA2-PSK",    "WPA3-SAE",
    "WPA-EAP",  "WPA/WPA2-EAP", "WPA2-EAP", "WPA3-EAP",     "Dynamic-WEP",
};

// Callers read 802.11n when the radio confirms no PHY mode at all.
constexpr std::int64_t kWifiTypeWhenUnknown = 4;

}  // namespace

std::string securityText(const wifi::SecuritySet& security) {
    std::string text;
    for (std::size_t i = 0; i < kSecurityLabels.size(); ++i) {
        if (!security.contains(static_cast<wifi::Security>(i))) continue;
        if (!text.empty()) text += ", ";
        text += kSecurityLabels[i];
    }
    return text;
}

std::int64_t wifiType(const std::optional<wifi::PhyMode>& highest) {
    return highest ? static_cast<std::int64_t>(*highest) : kWifiTypeWhenUnknown;
}

std::string_view permissionWord(wifi::Permission permission) {
    switch (permission) {
        case wifi::Permission::Authorized:
            return "authorized";
        case wifi::Permission::Denied:
            return "denied";
        case wifi::Permission::NotDetermined:
            break;
    }
    return "notDetermined";
}

}  // namespace netmoth::report
