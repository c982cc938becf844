#include <gtest/gtest.h>

#include <cerrno>

#include "NetlinkMessage.h"
#include "platform/linux/KernelNotes.h"
#include "platform/linux/Nl80211Client.h"

namespace netmoth::linux_backend {
namespace {

using namespace test;
using Replies = std::vector<Bytes>;

struct FakeWatch final : ScanWatch {
    FakeWatch(bool& awaited, bool ends) : awaited_(awaited), ends_(ends) {}
    bool awaitScanEnd(const DeviceId&, std::chrono::milliseconds) override {
        awaited_ = true;
        return ends_;
    }
    bool& awaited_;
    bool ends_;
};

// Stands in for the kernel: canned dumps, and a record of what was asked.
struct FakeLink final : Nl80211Link {
    std::optional<Replies> dumpInterfaces() override {
        ++interfaceDumps;
        return interfaces;
    }
    std::optional<Replies> dumpScanResults(const DeviceId&) override { return scanResults; }
    std::optional<Replies> dumpStations(const DeviceId&) override { return stations; }
    std::unique_ptr<ScanWatch> watchScans() override {
        return canWatch ? std::make_unique<FakeWatch>(awaited, scanEnds) : nullptr;
    }
    std::optional<int> triggerScan(const DeviceId&, const Replies& ssids) override {
        probed = ssids;
        return triggerAnswer;
    }

    Replies interfaces, scanResults, stations, probed;
    std::optional<int> triggerAnswer = 0;
    bool canWatch = true;
    bool scanEnds = true;
    bool awaited = false;
    int interfaceDumps = 0;
};

Bytes interfaceReply(std::uint32_t ifindex, const std::string& name, nl80211_iftype type) {
    return NetlinkMessage(NL80211_CMD_NEW_INTERFACE)
        .put(NL80211_ATTR_IFINDEX, ifindex)
        .text(NL80211_ATTR_IFNAME, name)
        .put(NL80211_ATTR_IFTYPE, type)
        .attributes();
}

Bytes bssReply(std::uint8_t last, const std::string& ssid, std::optional<std::uint32_t> status = std::nullopt) {
    return scanReplyOpen()
        .put(NL80211_BSS_BSSID, mac(last))
        .put(NL80211_BSS_INFORMATION_ELEMENTS, elementsNaming(ssid))
        .put(NL80211_BSS_STATUS, status)
        .endNest()
        .attributes();
}

Bytes stationReply(std::uint8_t last, std::uint8_t signal) {
    return stationReplyOpen(mac(last)).put(NL80211_STA_INFO_SIGNAL, signal).endNest().attributes();
}

class ClientTest : public testing::Test {
protected:
    std::unique_ptr<FakeLink> owned = std::make_unique<FakeLink>();
    FakeLink& kernel = *owned;
    platform::Diagnostics diagnostics;
    Nl80211Client client{[this] { return std::unique_ptr<Nl80211Link>(std::move(owned)); }, diagnostics};
    void SetUp() override { kernel.interfaces = {interfaceReply(3, "wlan0", NL80211_IFTYPE_STATION)}; }
};

TEST(ClientWithoutNl80211, HasNoInterfaces) {
    platform::Diagnostics diagnostics;
    Nl80211Client client([] { return std::unique_ptr<Nl80211Link>(); }, diagnostics);
    EXPECT_EQ(client.interface(), nullptr);
    EXPECT_FALSE(client.interfaces());
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{notes::noNl80211()});
}

TEST_F(ClientTest, SaysWhyThereIsNoDefaultInterface) {
    kernel.interfaces = {interfaceReply(3, "wlan0", NL80211_IFTYPE_AP)};
    EXPECT_EQ(client.interface(), nullptr);
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{notes::noStation()});
}

TEST(ClientWithoutInterfaces, SaysSo) {
    platform::Diagnostics diagnostics;
    auto link = std::make_unique<FakeLink>();
    Nl80211Client client([&link] { return std::unique_ptr<Nl80211Link>(std::move(link)); }, diagnostics);
    EXPECT_EQ(client.interfaces()->size(), 0u);
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{notes::noInterfaces()});
}

TEST_F(ClientTest, ListsByIndexWithP2PDevicesLastAndDefaultsToTheFirstStation) {
    const Bytes p2pDevice =
        NetlinkMessage(NL80211_CMD_NEW_INTERFACE).put(NL80211_ATTR_WDEV, std::uint64_t{9}).attributes();
    kernel.interfaces = {interfaceReply(7, "wlan1", NL80211_IFTYPE_STATION), p2pDevice,
                         interfaceReply(3,
                                        "wl\xFF"
                                        "an",
                                        NL80211_IFTYPE_AP),
                         interfaceReply(8, "wlan2", NL80211_IFTYPE_STATION)};
    const auto list = client.interfaces();
    ASSERT_TRUE(list);
    std::vector<std::optional<std::string>> names;
    for (auto* entry : *list) names.push_back(entry->interfaceName());
    // A name that is not UTF-8 still reads as text.
    EXPECT_EQ(names, (decltype(names){"wl\xEF\xBF\xBD"
                                      "an",
                                      "wlan1", "wlan2", std::nullopt}));
    EXPECT_EQ(client.interface(), (*list)[1]);
    EXPECT_EQ(kernel.interfaceDumps, 1);
}

TEST_F(ClientTest, BssidFromTheAssociatedScanEntryAndSignalFromItsStation) {
    kernel.scanResults = {bssReply(1, "Other", NL80211_BSS_STATUS_AUTHENTICATED),
                          bssReply(2, "Home", NL80211_BSS_STATUS_ASSOCIATED)};
    kernel.stations = {stationReply(9, 0xD0), stationReply(2, 0xC6)};
    EXPECT_EQ(client.interface()->bssid(), "02:00:00:00:00:02");
    EXPECT_EQ(client.interface()->rssiValue(), -58);
}

struct FallbackCase {
    nl80211_iftype type;
    std::optional<std::string> bssid;
    std::int64_t rssi;
};

class BssidFallback : public ClientTest, public testing::WithParamInterface<FallbackCase> {};

TEST_P(BssidFallback, ToTheStationListOnlyForAClient) {
    kernel.interfaces = {interfaceReply(3, "wlan0", GetParam().type)};
    kernel.scanResults = {bssReply(1, "Other")};
    kernel.stations = {stationReply(5, 0xC0)};
    auto* wlan0 = client.interfaces()->front();
    EXPECT_EQ(wlan0->bssid(), GetParam().bssid);
    EXPECT_EQ(wlan0->rssiValue(), GetParam().rssi);
}

INSTANTIATE_TEST_SUITE_P(Modes, BssidFallback,
                         testing::Values(FallbackCase{NL80211_IFTYPE_STATION, "02:00:00:00:00:05", -64},
                                         FallbackCase{NL80211_IFTYPE_P2P_CLIENT, "02:00:00:00:00:05", -64},
                                         FallbackCase{NL80211_IFTYPE_AP, std::nullopt, 0}));

struct ScanCase {
    std::optional<int> triggerAnswer;
    bool awaits;
    bool succeeds;
    std::string note;  // a part of the one line for standard error; empty: none
};

class ScanTest : public ClientTest, public testing::WithParamInterface<ScanCase> {};

TEST_P(ScanTest, FollowsTheTriggerAnswerAndLeavesOutHiddenNetworks) {
    kernel.scanResults = {bssReply(1, "Cafe"), bssReply(2, "Home"), bssReply(3, "")};
    kernel.triggerAnswer = GetParam().triggerAnswer;
    const auto networks = client.interface()->scanForNetworks(std::nullopt, false);
    EXPECT_EQ(kernel.awaited, GetParam().awaits);
    EXPECT_EQ(networks ? networks->size() : 0u, GetParam().succeeds ? 2u : 0u);
    EXPECT_EQ(networks.has_value(), GetParam().succeeds);
    if (GetParam().note.empty()) {
        EXPECT_TRUE(diagnostics.lines().empty());
    } else {
        ASSERT_EQ(diagnostics.lines().size(), 1u);
        EXPECT_NE(diagnostics.lines()[0].find(GetParam().note), std::string::npos) << diagnostics.lines()[0];
    }
}

INSTANTIATE_TEST_SUITE_P(KernelAnswers, ScanTest,
                         testing::Values(ScanCase{0, true, true, ""}, ScanCase{EBUSY, true, true, ""},
                                         ScanCase{EPERM, false, true, "sudo setcap cap_net_admin+ep /"},
                                         ScanCase{EACCES, false, true, "needs the CAP_NET_ADMIN capability"},
                                         ScanCase{EOPNOTSUPP, false, true, "wlan0 refused a fresh scan"},
                                         ScanCase{ENODEV, false, false, "the device is gone"},
                                         ScanCase{ENETDOWN, false, false, "wlan0 is down"},
                                         ScanCase{std::nullopt, false, false, "nl80211 did not answer"}));

TEST_F(ClientTest, ScanThatDoesNotEndInTimeGivesWhatItFoundAndSaysSo) {
    kernel.scanResults = {bssReply(1, "Cafe")};
    kernel.scanEnds = false;
    EXPECT_EQ(client.interface()->scanForNetworks(std::nullopt, true)->size(), 1u);
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{notes::scanTimedOut("wlan0", std::chrono::seconds(45))});
}

TEST_F(ClientTest, ScanForANameProbesItAndKeepsOnlyExactMatches) {
    kernel.scanResults = {bssReply(1, "Cafe"), bssReply(2, "cafe"), bssReply(3, "Cafe "), bssReply(4, ""),
                          bssReply(5, "Cafe")};
    const auto networks = client.interface()->scanForNetworks("Cafe", true);
    ASSERT_TRUE(networks);
    ASSERT_EQ(networks->size(), 2u);
    EXPECT_EQ((*networks)[1]->bssid(), "02:00:00:00:00:05");
    EXPECT_EQ(kernel.probed, (Replies{{'C', 'a', 'f', 'e'}, {}}));
}

TEST_F(ClientTest, ScanFailsWithoutAScanSubscription) {
    kernel.canWatch = false;
    EXPECT_FALSE(client.interface()->scanForNetworks(std::nullopt, true));
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{notes::scanUnwatchable("wlan0")});
}

}  // namespace
}  // namespace netmoth::linux_backend
