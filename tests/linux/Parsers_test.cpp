#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include "NetlinkMessage.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {
namespace {

using test::NetlinkMessage;

platform::Bytes fullBss() {
    return test::scanReplyOpen()
        .bytes(NL80211_BSS_BSSID, {0xA0, 0xB1, 0xC2, 0x0D, 0xE4, 0xFF})
        .u32(NL80211_BSS_FREQUENCY, 5180)
        .u16(NL80211_BSS_CAPABILITY, 0x1431)
        .u32(NL80211_BSS_SIGNAL_MBM, static_cast<std::uint32_t>(-4712))
        .bytes(NL80211_BSS_INFORMATION_ELEMENTS, test::elementsNaming("Probe"))
        .bytes(NL80211_BSS_BEACON_IES, test::elementsNaming("Beacon"))
        .u32(NL80211_BSS_STATUS, NL80211_BSS_STATUS_ASSOCIATED)
        .endNest()
        .attributes();
}

NetlinkMessage interfaceReply() { return NetlinkMessage(NL80211_CMD_NEW_INTERFACE); }

TEST(ParseInterface, ReadsANamedStationWithItsNetwork) {
    auto info = parseInterface(interfaceReply()
                                   .u32(NL80211_ATTR_IFINDEX, 4)
                                   .text(NL80211_ATTR_IFNAME, "wlp2s0")
                                   .u32(NL80211_ATTR_IFTYPE, NL80211_IFTYPE_STATION)
                                   .u64(NL80211_ATTR_WDEV, 0x100000001)
                                   .bytes(NL80211_ATTR_SSID, {'H', 'o', 'm', 'e'})
                                   .attributes());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->device.ifindex, 4u);
    EXPECT_EQ(info->device.wdev, 0x100000001u);
    EXPECT_EQ(info->name, "wlp2s0");
    EXPECT_EQ(info->type, NL80211_IFTYPE_STATION);
    EXPECT_EQ(info->ssid, (platform::Bytes{'H', 'o', 'm', 'e'}));
}

TEST(ParseInterface, P2PDeviceHasNoIndexNameOrNetwork) {
    auto info = parseInterface(interfaceReply()
                                   .u64(NL80211_ATTR_WDEV, 2)
                                   .u32(NL80211_ATTR_IFTYPE, NL80211_IFTYPE_P2P_DEVICE)
                                   .attributes());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->device.ifindex || info->name || info->ssid);
}

TEST(ParseBss, ReadsEveryAttributeAndLowerCasesTheBssid) {
    auto entry = parseBss(fullBss());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->bssid, "a0:b1:c2:0d:e4:ff");
    EXPECT_EQ(entry->frequencyMHz, 5180u);
    EXPECT_EQ(entry->capability, 0x1431);
    EXPECT_EQ(entry->signalMbm, -4712);
    EXPECT_EQ(entry->elements, test::elementsNaming("Probe"));
    EXPECT_EQ(entry->beaconElements, test::elementsNaming("Beacon"));
    EXPECT_EQ(entry->status, NL80211_BSS_STATUS_ASSOCIATED);
}

TEST(ParseBss, EveryTruncationIsRejected) {
    const auto whole = fullBss();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(parseBss(AttributeBytes(whole.data(), length))) << length;
    }
}

TEST(ParseBss, ReadsUnalignedBytes) {
    const auto whole = fullBss();
    platform::Bytes shifted(1, 0);
    shifted.insert(shifted.end(), whole.begin(), whole.end());
    auto entry = parseBss(AttributeBytes(shifted).subspan(1));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->frequencyMHz, 5180u);
}

TEST(ParseStation, SignalIsASignedByteAndOptional) {
    auto station = parseStation(
        test::stationReplyOpen(test::mac(0xAB)).u8(NL80211_STA_INFO_SIGNAL, 0xC6).endNest().attributes());
    ASSERT_TRUE(station);
    EXPECT_EQ(station->mac, "02:00:00:00:00:ab");
    EXPECT_EQ(station->signalDbm, -58);
    station = parseStation(test::stationReplyOpen(test::mac(1)).endNest().attributes());
    ASSERT_TRUE(station);
    EXPECT_FALSE(station->signalDbm);
}

struct Rejected {
    const char* why;
    bool (*parses)(AttributeBytes);
    platform::Bytes attributes;
};

template <auto Parser>
bool parses(AttributeBytes bytes) { return Parser(bytes).has_value(); }

class Rejects : public testing::TestWithParam<Rejected> {};

TEST_P(Rejects, Message) { EXPECT_FALSE(GetParam().parses(GetParam().attributes)) << GetParam().why; }

NetlinkMessage indexedInterface() {
    auto message = interfaceReply();
    message.u32(NL80211_ATTR_IFINDEX, 4);
    return message;
}

NetlinkMessage bssWithBssid(const platform::Bytes& bssid) {
    auto message = test::scanReplyOpen();
    message.bytes(NL80211_BSS_BSSID, bssid);
    return message;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, Rejects,
    testing::Values(
        Rejected{"interface without index or wdev", parses<parseInterface>,
                 interfaceReply().text(NL80211_ATTR_IFNAME, "wlan0").attributes()},
        Rejected{"2-byte index", parses<parseInterface>,
                 interfaceReply().u16(NL80211_ATTR_IFINDEX, 4).attributes()},
        Rejected{"unterminated name", parses<parseInterface>,
                 indexedInterface().bytes(NL80211_ATTR_IFNAME, {'w'}).attributes()},
        Rejected{"33-byte SSID", parses<parseInterface>,
                 indexedInterface().bytes(NL80211_ATTR_SSID, platform::Bytes(33, 'a')).attributes()},
        Rejected{"attribute length below its header", parses<parseInterface>,
                 {3, 0, 3, 0, 4, 0, 0, 0}},
        Rejected{"BSS without BSSID", parses<parseBss>,
                 test::scanReplyOpen().u32(NL80211_BSS_FREQUENCY, 2412).endNest().attributes()},
        Rejected{"5-byte BSSID", parses<parseBss>, bssWithBssid({1, 2, 3, 4, 5}).endNest().attributes()},
        Rejected{"7-byte BSSID", parses<parseBss>,
                 bssWithBssid({1, 2, 3, 4, 5, 6, 7}).endNest().attributes()},
        Rejected{"2-byte frequency", parses<parseBss>,
                 bssWithBssid(test::mac(1)).u16(NL80211_BSS_FREQUENCY, 1).endNest().attributes()},
        Rejected{"no BSS nest", parses<parseBss>,
                 NetlinkMessage(NL80211_CMD_NEW_SCAN_RESULTS).u32(NL80211_ATTR_IFINDEX, 3).attributes()},
        Rejected{"5-byte station MAC", parses<parseStation>,
                 test::stationReplyOpen({1, 2, 3, 4, 5}).endNest().attributes()},
        Rejected{"0-byte station signal", parses<parseStation>,
                 test::stationReplyOpen(test::mac(1))
                     .bytes(NL80211_STA_INFO_SIGNAL, {})
                     .endNest()
                     .attributes()}));

struct ScanEvent {
    std::uint8_t command;
    DeviceId origin;
    bool endsTheScan;
};

class IsScanEndOf : public testing::TestWithParam<ScanEvent> {};

TEST_P(IsScanEndOf, WlanThree) {
    NetlinkMessage event(GetParam().command);
    if (GetParam().origin.ifindex) event.u32(NL80211_ATTR_IFINDEX, *GetParam().origin.ifindex);
    event.u64(NL80211_ATTR_WDEV, *GetParam().origin.wdev);
    EXPECT_EQ(isScanEndOf(DeviceId{3, 0x30}, GetParam().command, event.attributes()),
              GetParam().endsTheScan);
}

INSTANTIATE_TEST_SUITE_P(
    Events, IsScanEndOf,
    testing::Values(ScanEvent{NL80211_CMD_NEW_SCAN_RESULTS, {3, 0x30}, true},
                    ScanEvent{NL80211_CMD_SCAN_ABORTED, {3, 0x30}, true},
                    ScanEvent{NL80211_CMD_TRIGGER_SCAN, {3, 0x30}, false},
                    ScanEvent{NL80211_CMD_NEW_SCAN_RESULTS, {4, 0x30}, false},
                    ScanEvent{NL80211_CMD_NEW_SCAN_RESULTS, {std::nullopt, 0x30}, true},
                    ScanEvent{NL80211_CMD_SCAN_ABORTED, {std::nullopt, 0x31}, false}));

}  // namespace
}  // namespace netmoth::linux_backend
