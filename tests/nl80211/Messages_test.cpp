#include "nl80211/Messages.h"

#include <gtest/gtest.h>

#include "NetlinkMessage.h"

namespace netmoth::nl80211 {
namespace {

using namespace test;

NetlinkMessage interfaceReply() { return NetlinkMessage(NL80211_CMD_NEW_INTERFACE); }
NetlinkMessage indexedInterface() { return std::move(interfaceReply().put(NL80211_ATTR_IFINDEX, 4U)); }
NetlinkMessage bssWithBssid(const Bytes& bssid) { return std::move(scanReplyOpen().put(NL80211_BSS_BSSID, bssid)); }

TEST(ParseInterface, ReadsANamedStationAndAP2PDeviceWithOnlyAWdev) {
    EXPECT_EQ(parseInterface(indexedInterface()
                                 .put(NL80211_ATTR_IFNAME, "wlp2s0")
                                 .put(NL80211_ATTR_IFTYPE, NL80211_IFTYPE_STATION)
                                 .put(NL80211_ATTR_WDEV, std::uint64_t{0x100000001})
                                 .put(NL80211_ATTR_SSID, Bytes(32, 'h'))
                                 .attributes()),
              (InterfaceInfo{{4, 0x100000001}, "wlp2s0", NL80211_IFTYPE_STATION, Bytes(32, 'h')}));
    EXPECT_EQ(parseInterface(interfaceReply()
                                 .put(NL80211_ATTR_WDEV, std::uint64_t{2})
                                 .put(NL80211_ATTR_IFTYPE, NL80211_IFTYPE_P2P_DEVICE)
                                 .attributes()),
              (InterfaceInfo{{std::nullopt, 2}, std::nullopt, NL80211_IFTYPE_P2P_DEVICE, std::nullopt}));
}

TEST(ParseBss, ReadsEveryAttributeRejectsEveryTruncationAndReadsUnalignedBytes) {
    const Bytes whole = scanReplyOpen()
                            .put(NL80211_BSS_BSSID, Bytes{0xA0, 0xB1, 0xC2, 0x0D, 0xE4, 0xFF})
                            .put(NL80211_BSS_FREQUENCY, 5180U)
                            .put(NL80211_BSS_CAPABILITY, std::uint16_t{0x1431})
                            .put(NL80211_BSS_SIGNAL_MBM, -4712)
                            .put(NL80211_BSS_INFORMATION_ELEMENTS, elementsNaming("Probe"))
                            .put(NL80211_BSS_BEACON_IES, elementsNaming("Beacon"))
                            .put(NL80211_BSS_STATUS, NL80211_BSS_STATUS_ASSOCIATED)
                            .endNest()
                            .attributes();
    EXPECT_EQ(parseBss(whole), (BssEntry{"a0:b1:c2:0d:e4:ff", 5180, 0x1431, -4712, elementsNaming("Probe"),
                                         elementsNaming("Beacon"), NL80211_BSS_STATUS_ASSOCIATED}));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(parseBss(AttributeBytes(whole.data(), length))) << length;
    }
    Bytes shifted{0};
    shifted.insert(shifted.end(), whole.begin(), whole.end());
    EXPECT_EQ(parseBss(AttributeBytes(shifted).subspan(1)), parseBss(whole));
}

TEST(Parsers, StationSignalIsASignedByteAndOptionalAndMalformedRepliesAreRejected) {
    EXPECT_EQ(parseStation(
                  stationReplyOpen(mac(0xAB)).put(NL80211_STA_INFO_SIGNAL, std::uint8_t{0xC6}).endNest().attributes()),
              (StationInfo{"02:00:00:00:00:ab", -58}));
    EXPECT_EQ(parseStation(stationReplyOpen(mac(1)).endNest().attributes()), (StationInfo{"02:00:00:00:00:01", {}}));
    const auto twoBytes = std::uint16_t{4};
    EXPECT_FALSE(parseInterface(interfaceReply().put(NL80211_ATTR_IFNAME, "wlan0").attributes())) << "no index";
    EXPECT_FALSE(parseInterface(interfaceReply().put(NL80211_ATTR_IFINDEX, twoBytes).attributes())) << "short index";
    EXPECT_FALSE(parseInterface(indexedInterface().put(NL80211_ATTR_IFNAME, Bytes{'w'}).attributes())) << "no NUL";
    EXPECT_FALSE(parseInterface(indexedInterface().put(NL80211_ATTR_SSID, Bytes(33, 'a')).attributes())) << "long SSID";
    EXPECT_FALSE(parseInterface(Bytes{3, 0, 3, 0, 4, 0, 0, 0})) << "attribute length below its header";
    EXPECT_FALSE(parseBss(scanReplyOpen().put(NL80211_BSS_FREQUENCY, 2412U).endNest().attributes())) << "no BSSID";
    EXPECT_FALSE(parseBss(bssWithBssid({1, 2, 3, 4, 5}).endNest().attributes())) << "5-byte BSSID";
    EXPECT_FALSE(parseBss(bssWithBssid({1, 2, 3, 4, 5, 6, 7}).endNest().attributes())) << "7-byte BSSID";
    EXPECT_FALSE(parseBss(bssWithBssid(mac(1)).put(NL80211_BSS_FREQUENCY, twoBytes).endNest().attributes()))
        << "2-byte frequency";
    EXPECT_FALSE(parseBss(NetlinkMessage(NL80211_CMD_NEW_SCAN_RESULTS).put(NL80211_ATTR_IFINDEX, 3U).attributes()))
        << "no BSS nest";
    EXPECT_FALSE(parseStation(stationReplyOpen({1, 2, 3, 4, 5}).endNest().attributes())) << "5-byte MAC";
    EXPECT_FALSE(parseStation(stationReplyOpen(mac(1)).put(NL80211_STA_INFO_SIGNAL, Bytes{}).endNest().attributes()))
        << "0-byte signal";
}

TEST(IsScanEndOf, OnlyAFinishedOrAbortedScanOfTheSameDevice) {
    const std::tuple<std::uint8_t, DeviceId, bool> events[] = {
        {NL80211_CMD_NEW_SCAN_RESULTS, {3, 0x30}, true},  {NL80211_CMD_SCAN_ABORTED, {3, 0x30}, true},
        {NL80211_CMD_TRIGGER_SCAN, {3, 0x30}, false},     {NL80211_CMD_NEW_SCAN_RESULTS, {4, 0x30}, false},
        {NL80211_CMD_NEW_SCAN_RESULTS, {{}, 0x30}, true}, {NL80211_CMD_SCAN_ABORTED, {{}, 0x31}, false}};
    for (const auto& [command, origin, endsTheScan] : events) {
        NetlinkMessage event(command);
        event.put(NL80211_ATTR_IFINDEX, origin.ifindex).put(NL80211_ATTR_WDEV, origin.wdev);
        EXPECT_EQ(isScanEndOf(DeviceId{3, 0x30}, command, event.attributes()), endsTheScan) << int{command};
    }
}

}  // namespace
}  // namespace netmoth::nl80211
