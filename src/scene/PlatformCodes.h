#pragma once
// The scene format numbers security types, PHY modes, channel bands and
// widths and the authorization status as another platform does. These
// functions are the only place those numbers meet wifi values: the reader
// translates codes into values, the writer values back into codes.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "wifi/Values.h"

namespace netmoth::scene {

// Codes that name nothing are dropped.
wifi::SecuritySet securityFromCodes(std::span<const std::int64_t> codes);
// In ascending code order.
std::vector<std::int64_t> securityCodes(const wifi::SecuritySet& security);

// The highest mode listed; nullopt when no listed code names a mode.
std::optional<wifi::PhyMode> highestPhyModeFromCodes(std::span<const std::int64_t> codes);
// A list that reads back as the same highest mode: [] or [its code].
std::vector<std::int64_t> phyModeCodes(std::optional<wifi::PhyMode> highest);

struct ChannelCodes {
    std::int64_t number = 0;
    std::int64_t band = 0;   // 0: unknown
    std::int64_t width = 0;  // 0: unknown
};
// An unknown band or width code is 0 MHz.
wifi::Channel channelFromCodes(const ChannelCodes& codes);
// A band or width without a code (320 MHz) is written as unknown, 0.
ChannelCodes channelCodes(const wifi::Channel& channel);

wifi::Permission permissionFromStatus(std::int64_t authorizationStatus);
std::int32_t authorizationStatus(wifi::Permission permission);

}  // namespace netmoth::scene
