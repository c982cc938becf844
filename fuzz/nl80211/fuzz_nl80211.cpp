// Arbitrary attribute bytes into the three nl80211 reply parsers. Whatever a
// parser accepts must be well formed, and must survive being sent again the
// way the kernel sends it: every value passes through unchanged.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "NetlinkMessage.h"
#include "nl80211/Messages.h"

using namespace netmoth::nl80211;
using namespace netmoth::nl80211::test;

// "xx:xx:..." back to octets; text that is not a lower-case MAC cannot survive the round trip.
static Bytes macBytes(const std::string& text) {
    Bytes octets;
    for (std::size_t i = 0; i < text.size(); i += 3)
        octets.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return octets;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AttributeBytes input(data, size);
    if (const auto info = parseInterface(input)) {
        require((info->device.ifindex || info->device.wdev) && (!info->ssid || info->ssid->size() <= 32));
        require(!info->name || info->name->find('\0') == std::string::npos);  // so it is sent back whole
        require(parseInterface(NetlinkMessage(NL80211_CMD_NEW_INTERFACE)
                                   .put(NL80211_ATTR_IFINDEX, info->device.ifindex)
                                   .put(NL80211_ATTR_WDEV, info->device.wdev)
                                   .put(NL80211_ATTR_IFNAME, info->name)
                                   .put(NL80211_ATTR_IFTYPE, info->type)
                                   .put(NL80211_ATTR_SSID, info->ssid)
                                   .attributes()) == info);
    }
    if (const auto entry = parseBss(input)) {  // the signed mBm value travels in 32 bits, as the kernel sends it
        require(parseBss(scanReplyOpen()
                             .put(NL80211_BSS_BSSID, macBytes(entry->bssid))
                             .put(NL80211_BSS_FREQUENCY, entry->frequencyMHz)
                             .put(NL80211_BSS_CAPABILITY, entry->capability)
                             .put(NL80211_BSS_SIGNAL_MBM, entry->signalMbm)
                             .put(NL80211_BSS_INFORMATION_ELEMENTS, entry->elements)
                             .put(NL80211_BSS_BEACON_IES, entry->beaconElements)
                             .put(NL80211_BSS_STATUS, entry->status)
                             .endNest()
                             .attributes()) == entry);
    }
    if (const auto station = parseStation(input)) {
        require(parseStation(stationReplyOpen(macBytes(station->mac))
                                 .put(NL80211_STA_INFO_SIGNAL, station->signalDbm)
                                 .endNest()
                                 .attributes()) == station);
    }
    // A scan event names its device the way an interface reply does.
    if (size > 0 && isScanEndOf(DeviceId{1, 1}, data[0], input.subspan(1)))
        require(parseInterface(input.subspan(1)).has_value());
    return 0;
}
