#include "reports/NetworkLabels.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace netmoth::reports {
namespace {

struct SecurityEntry {
    std::int64_t rawValue;
    std::string_view label;
};

// Not in raw-value order: each WPA3 type follows its WPA2 sibling and
// Dynamic-WEP comes last. Raw values 5, 10, 13.. are never asked.
constexpr std::array<SecurityEntry, 11> kSecurityList{{
    {0, "None"},
    {1, "WEP"},
    {2, "WPA-PSK"},
    {3, "WPA/WPA2-PSK"},
    {4, "WPA2-PSK"},
    {11, "WPA3-SAE"},
    {7, "WPA-EAP"},
    {8, "WPA/WPA2-EAP"},
    {9, "WPA2-EAP"},
    {12, "WPA3-EAP"},
    {6, "Dynamic-WEP"},
}};

// none, 11a, 11b, 11g, 11n, 11ac, 11ax: each yields its own raw value.
constexpr std::array<std::int64_t, 7> kPhyModeList{0, 1, 2, 3, 4, 5, 6};

constexpr std::int64_t kPhyModeWhenNoneConfirmed = 4;

}  // namespace

std::string supportedSecurityTypes(const platform::WiFiNetwork& network) {
    std::string text;
    for (const auto& entry : kSecurityList) {
        if (!network.supportsSecurity(entry.rawValue)) continue;
        if (!text.empty()) text += ", ";
        text += entry.label;
    }
    return text;
}

std::int64_t supportedPHYModes(const platform::WiFiNetwork& network) {
    std::optional<std::int64_t> highest;
    for (const std::int64_t mode : kPhyModeList) {
        if (network.supportsPHYMode(mode)) highest = std::max(highest.value_or(mode), mode);
    }
    return highest.value_or(kPhyModeWhenNoneConfirmed);
}

}  // namespace netmoth::reports
