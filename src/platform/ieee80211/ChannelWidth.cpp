#include "platform/ieee80211/ChannelWidth.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ieee80211/ByteReader.h"
#include "platform/ieee80211/ElementIds.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

std::int64_t htWidth(ElementBytes operation) {
    if (operation.size() < 2) return width::k20MHz;
    const std::uint8_t info = operation[1];
    const unsigned secondaryOffset = info & 0x03U;  // 1 above, 3 below the primary
    const bool anyWidth = (info & 0x04U) != 0;
    return (secondaryOffset == 1 || secondaryOffset == 3) && anyWidth ? width::k40MHz : width::k20MHz;
}

// Channel width, CCFS0, CCFS1: in the VHT operation element and, with the same
// layout, inside the HE operation element.
std::int64_t vhtWidth(ElementBytes info) {
    if (info.size() < 3) return width::k20MHz;
    const int centre0 = info[1];
    const int centre1 = info[2];
    switch (info[0]) {
        case 1: {
            // 160 is signalled by a second segment 8 channels off; 80+80 by one more than 16 off.
            const int apart = std::abs(centre1 - centre0);
            return centre1 != 0 && (apart == 8 || apart > 16) ? width::k160MHz : width::k80MHz;
        }
        case 2:
        case 3:
            return width::k160MHz;  // deprecated 160 and 80+80 encodings
        default:
            return width::k20MHz;  // 20/40 is told by the HT operation element
    }
}

// Channel width codes 0..3 of the 6 GHz operation control field; 3 is 160 or 80+80.
std::int64_t sixGHzWidth(std::uint8_t control) {
    constexpr std::int64_t kWidths[] = {width::k20MHz, width::k40MHz, width::k80MHz, width::k160MHz};
    return kWidths[control & 0x03U];
}

std::int64_t heWidth(ElementBytes operation, bool vhtApplies) {
    ByteReader reader(operation);
    const auto parameters = reader.take(3);
    if (!parameters || !reader.take(3)) return width::k20MHz;  // BSS colour, basic HE-MCS and NSS set
    const bool vhtInfoPresent = ((*parameters)[1] & 0x40U) != 0;
    const bool coHostedBss = ((*parameters)[1] & 0x80U) != 0;
    const bool sixGHzInfoPresent = ((*parameters)[2] & 0x02U) != 0;

    std::int64_t widest = width::k20MHz;
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

std::int64_t ehtWidth(ElementBytes operation) {
    constexpr std::int64_t kWidths[] = {width::k20MHz, width::k40MHz, width::k80MHz, width::k160MHz,
                                        width::k160MHz};  // 320 MHz has no platform code
    ByteReader reader(operation);
    const auto parameters = reader.u8();
    const bool infoPresent = parameters && (*parameters & 0x01U) != 0;
    if (!infoPresent || !reader.take(4)) return width::k20MHz;  // skips the basic EHT-MCS and NSS set
    const auto info = reader.take(3);
    if (!info) return width::k20MHz;
    const unsigned code = (*info)[0] & 0x07U;
    return code < std::size(kWidths) ? kWidths[code] : width::k20MHz;
}

// VHT on 2.4 GHz is a vendor extension, and no 2.4 GHz BSS is wider than 40 MHz.
std::int64_t widthOf(const Element& element, bool vhtApplies) {
    switch (element.id) {
        case element::kHtOperation:
            return htWidth(element.payload);
        case element::kVhtOperation:
            return vhtApplies ? vhtWidth(element.payload) : width::k20MHz;
        case element::kExtension:
            if (element.extensionId == extension::kHeOperation) return heWidth(element.payload, vhtApplies);
            if (element.extensionId == extension::kEhtOperation) return ehtWidth(element.payload);
            return width::k20MHz;
        default:
            return width::k20MHz;
    }
}

}  // namespace

std::int64_t channelWidthFor(std::int64_t band, const std::vector<Element>& elements) {
    const bool vhtApplies = band != band::k2GHz;
    std::int64_t widest = width::k20MHz;
    for (const auto& element : elements) widest = std::max(widest, widthOf(element, vhtApplies));
    return widest;
}

}  // namespace netmoth::ieee80211
