#include "scene/PlatformCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace netmoth::scene {
namespace {

using wifi::PhyMode;
using wifi::Security;

// In ascending code order, so the writer lists codes as a person would.
constexpr std::array<std::pair<std::int64_t, Security>, wifi::kSecurityCount> kSecurityCodes{{
    {0, Security::None},
    {1, Security::Wep},
    {2, Security::WpaPersonal},
    {3, Security::WpaWpa2Personal},
    {4, Security::Wpa2Personal},
    {6, Security::DynamicWep},
    {7, Security::WpaEnterprise},
    {8, Security::WpaWpa2Enterprise},
    {9, Security::Wpa2Enterprise},
    {11, Security::Wpa3Personal},
    {12, Security::Wpa3Enterprise},
}};

// PHY mode codes 0..6 are the PhyMode values themselves; 7 (802.11be) has no mode.
constexpr std::int64_t kHighestPhyModeCode = static_cast<std::int64_t>(PhyMode::AX);

// Index i is code i + 1; code 0 and every code past the end mean "unknown".
constexpr std::array<std::uint32_t, 3> kBandMHz{2400, 5000, 6000};
constexpr std::array<std::uint32_t, 4> kWidthMHz{20, 40, 80, 160};

template <std::size_t N>
std::uint32_t megahertzOf(std::int64_t code, const std::array<std::uint32_t, N>& table) {
    if (code < 1 || code > static_cast<std::int64_t>(N)) return 0;
    return table[static_cast<std::size_t>(code - 1)];
}

template <std::size_t N>
std::int64_t codeOf(std::uint32_t megahertz, const std::array<std::uint32_t, N>& table) {
    const auto found = std::find(table.begin(), table.end(), megahertz);
    return found == table.end() ? 0 : (found - table.begin()) + 1;
}

}  // namespace

wifi::SecuritySet securityFromCodes(std::span<const std::int64_t> codes) {
    wifi::SecuritySet security;
    for (const auto& [code, member] : kSecurityCodes) {
        if (std::find(codes.begin(), codes.end(), code) != codes.end()) security.add(member);
    }
    return security;
}

std::vector<std::int64_t> securityCodes(const wifi::SecuritySet& security) {
    std::vector<std::int64_t> codes;
    for (const auto& [code, member] : kSecurityCodes) {
        if (security.contains(member)) codes.push_back(code);
    }
    return codes;
}

std::optional<PhyMode> highestPhyModeFromCodes(std::span<const std::int64_t> codes) {
    std::optional<PhyMode> highest;
    for (const std::int64_t code : codes) {
        if (code < 0 || code > kHighestPhyModeCode) continue;
        const auto mode = static_cast<PhyMode>(code);
        if (!highest || mode > *highest) highest = mode;
    }
    return highest;
}

std::vector<std::int64_t> phyModeCodes(std::optional<PhyMode> highest) {
    if (!highest) return {};
    return {static_cast<std::int64_t>(*highest)};
}

wifi::Channel channelFromCodes(const ChannelCodes& codes) {
    return {.number = codes.number, .widthMHz = megahertzOf(codes.width, kWidthMHz),
            .bandMHz = megahertzOf(codes.band, kBandMHz)};
}

ChannelCodes channelCodes(const wifi::Channel& channel) {
    return {.number = channel.number, .band = codeOf(channel.bandMHz, kBandMHz),
            // Wider than the widest code (320 MHz): the answer shows it as 160 too.
            .width = codeOf(std::min(channel.widthMHz, kWidthMHz.back()), kWidthMHz)};
}

// Status codes: 0 not determined, 1 restricted, 2 denied, 3 authorized,
// 4 when in use. Restricted is a denial; the answers have no word for "in use".
wifi::Permission permissionFromStatus(std::int64_t status) {
    if (status == 1 || status == 2) return wifi::Permission::Denied;
    if (status == 3) return wifi::Permission::Authorized;
    return wifi::Permission::NotDetermined;
}

std::int32_t authorizationStatus(wifi::Permission permission) {
    switch (permission) {
        case wifi::Permission::Denied: return 2;
        case wifi::Permission::Authorized: return 3;
        case wifi::Permission::NotDetermined: break;
    }
    return 0;
}

}  // namespace netmoth::scene
