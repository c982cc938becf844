// channelFor: where a BSS sits, from its frequency and operation elements.

#include "platform/ieee80211/ChannelNumbering.h"
#include "platform/ieee80211/ChannelWidth.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/ElementIds.h"
#include "platform/ieee80211/ElementWalker.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

// Outside the known bands the BSS's own word is the best guess: the DS
// Parameter Set, else the HT operation's primary channel, else 0.
std::int64_t announcedChannel(const std::vector<Element>& elements) {
    for (const auto id : {element::kDsParameterSet, element::kHtOperation}) {
        const auto announcing = firstElement(elements, id);
        if (announcing && !announcing->payload.empty()) return announcing->payload[0];
    }
    return 0;
}

}  // namespace

platform::WiFiChannel channelFor(std::uint32_t frequencyMHz, ElementBytes bytes) {
    const auto elements = elementsIn(bytes);
    const std::int64_t band = bandFor(frequencyMHz);
    return platform::WiFiChannel{
        .channelNumber = band == band::kUnknown ? announcedChannel(elements) : channelNumberFor(frequencyMHz),
        .channelWidth = channelWidthFor(band, elements),
        .channelBand = band,
    };
}

}  // namespace netmoth::ieee80211
