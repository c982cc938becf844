// Where a BSS sits: band and number from its frequency, as the kernel numbers
// them, and the width its operation elements announce.

#include <algorithm>
#include <cstdlib>

#include "ieee80211/Elements.h"

namespace netmoth::ieee80211 {
namespace {

constexpr std::uint32_t kChannel14 = 2484;
constexpr std::uint32_t k6GHzChannel2 = 5935;

bool within(std::uint32_t value, std::uint32_t low, std::uint32_t high) { return value >= low && value <= high; }

std::int64_t channelNumberFor(std::uint32_t f) {
    switch (bandMHzFor(f)) {
        case kBand2GHz:
            return f == kChannel14 ? 14 : (f - 2407) / 5;
        // The 4.9 GHz public-safety channels count from 4000 MHz.
        case kBand5GHz:
            return f < 5000 ? (f - 4000) / 5 : (f - 5000) / 5;
        case kBand6GHz:
            return f == k6GHzChannel2 ? 2 : (f - 5950) / 5;
        default:
            return 0;
    }
}

// Outside the known bands the BSS's own word is the best guess: the DS
// Parameter Set, else the first HT operation's primary channel, else 0.
std::int64_t announcedChannel(const Elements& elements) {
    if (elements.dsChannel) return *elements.dsChannel;
    if (!elements.htOperations.empty()) return elements.htOperations.front()[0];  // the bounds hold 22 bytes
    return 0;
}

std::uint32_t htWidth(ByteView operation) {
    const std::uint8_t info = operation[1];         // the bounds hold 22 bytes
    const unsigned secondaryOffset = info & 0x03U;  // 1 above, 3 below the primary
    const bool anyWidth = (info & 0x04U) != 0;
    return (secondaryOffset == 1 || secondaryOffset == 3) && anyWidth ? 40 : 20;
}

// Channel width, CCFS0, CCFS1: in the VHT operation element and, with the same
// layout, inside the HE operation element; both callers hold those 3 bytes.
std::uint32_t vhtWidth(ByteView info) {
    const int centre0 = info[1];
    const int centre1 = info[2];
    switch (info[0]) {
        case 1: {
            // 160 is signalled by a second segment 8 channels off; 80+80 by one more than 16 off.
            const int apart = std::abs(centre1 - centre0);
            return centre1 != 0 && (apart == 8 || apart > 16) ? 160 : 80;
        }
        case 2:
        case 3:
            return 160;  // deprecated 160 and 80+80 encodings
        default:
            return 20;  // 20/40 is told by the HT operation element
    }
}

// Channel widths 0..3 of the 6 GHz operation control field; 3 is 160 or 80+80.
std::uint32_t sixGHzWidth(std::uint8_t control) {
    constexpr std::uint32_t kWidths[] = {20, 40, 80, 160};
    return kWidths[control & 0x03U];
}

std::uint32_t heWidth(ByteView operation, bool vhtApplies) {
    ByteReader reader(operation);
    const auto parameters = reader.take(3);
    if (!parameters || !reader.take(3)) return 20;  // BSS colour, basic HE-MCS and NSS set
    const bool vhtInfoPresent = ((*parameters)[1] & 0x40U) != 0;
    const bool coHostedBss = ((*parameters)[1] & 0x80U) != 0;
    const bool sixGHzInfoPresent = ((*parameters)[2] & 0x02U) != 0;

    std::uint32_t widest = 20;
    if (vhtInfoPresent) {
        const auto info = reader.take(3);
        if (!info) return widest;
        if (vhtApplies) widest = vhtWidth(*info);
    }
    if (coHostedBss && !reader.take(1)) return widest;
    if (sixGHzInfoPresent) {
        // Primary channel, control, CCFS0, CCFS1, minimum rate.
        if (const auto info = reader.take(5)) widest = std::max(widest, sixGHzWidth((*info)[1]));
    }
    return widest;
}

std::uint32_t ehtWidth(ByteView operation) {
    constexpr std::uint32_t kWidths[] = {20, 40, 80, 160, 320};
    ByteReader reader(operation);
    const auto parameters = reader.u8();
    const bool infoPresent = parameters && (*parameters & 0x01U) != 0;
    if (!infoPresent || !reader.take(4)) return 20;  // skips the basic EHT-MCS and NSS set
    const auto info = reader.take(3);
    if (!info) return 20;
    const unsigned code = (*info)[0] & 0x07U;
    return code < std::size(kWidths) ? kWidths[code] : 20;
}

// VHT on 2.4 GHz is a vendor extension, and no 2.4 GHz BSS is wider than 40 MHz.
std::uint32_t widestAnnounced(const Elements& elements, bool vhtApplies) {
    std::uint32_t widest = 20;
    for (const ByteView operation : elements.htOperations) widest = std::max(widest, htWidth(operation));
    if (vhtApplies) {
        for (const ByteView operation : elements.vhtOperations) widest = std::max(widest, vhtWidth(operation));
    }
    for (const ByteView operation : elements.heOperations) widest = std::max(widest, heWidth(operation, vhtApplies));
    for (const ByteView operation : elements.ehtOperations) widest = std::max(widest, ehtWidth(operation));
    return widest;
}

}  // namespace

std::uint32_t bandMHzFor(std::uint32_t f) {
    if (within(f, 2412, 2472) || f == kChannel14) return kBand2GHz;
    if (within(f, 4910, 5895)) return kBand5GHz;
    if (f == k6GHzChannel2 || within(f, 5955, 7115)) return kBand6GHz;
    return 0;
}

wifi::Channel channelFrom(std::uint32_t frequencyMHz, const Elements& elements) {
    const std::uint32_t band = bandMHzFor(frequencyMHz);
    return wifi::Channel{
        .number = band == 0 ? announcedChannel(elements) : channelNumberFor(frequencyMHz),
        .widthMHz = widestAnnounced(elements, band != kBand2GHz),
        .bandMHz = band,
    };
}

}  // namespace netmoth::ieee80211
