#include "nl80211/Nl80211Backend.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "NetlinkMessage.h"
#include "nl80211/KernelNotes.h"

namespace netmoth::nl80211 {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

// Stands in for the kernel: canned dumps, and a record of what was asked.
struct FakeLink final : KernelLink {
    struct Watch final : ScanWatch {
        explicit Watch(FakeLink& owner) : kernel(owner) {}
        bool awaitScanEnd(const DeviceId&, std::chrono::milliseconds) override {
            return kernel.awaited = true, kernel.scanEnds;
        }
        FakeLink& kernel;
    };
    std::optional<Replies> dumpInterfaces() override { return answer("interfaces", interfaces); }
    std::optional<Replies> dumpScanResults(const DeviceId& device) override {
        return answer("scan " + std::to_string(*device.ifindex), scanResults);
    }
    std::optional<Replies> dumpStations(const DeviceId& device) override {
        return answer("stations " + std::to_string(*device.ifindex), stations);
    }
    std::unique_ptr<ScanWatch> watchScans() override { return canWatch ? std::make_unique<Watch>(*this) : nullptr; }
    std::optional<int> triggerScan(const DeviceId&, const std::vector<Bytes>& ssids) override {
        probed = ssids;
        return triggerAnswer;
    }
    bool isDown(const std::string&) override { return false; }

    Replies interfaces, scanResults, stations, probed;
    std::optional<int> triggerAnswer = 0;
    bool canWatch = true, scanEnds = true, awaited = false;
    Lines asked;  // each dump, in order

    Replies answer(std::string dump, const Replies& replies) {
        asked.push_back(std::move(dump));
        return replies;
    }
};

Bytes interfaceReply(std::uint32_t ifindex, const std::string& name, nl80211_iftype type,
                     std::optional<Bytes> ssid = std::nullopt) {
    return NetlinkMessage(NL80211_CMD_NEW_INTERFACE)
        .put(NL80211_ATTR_IFINDEX, ifindex)
        .text(NL80211_ATTR_IFNAME, name)
        .put(NL80211_ATTR_IFTYPE, type)
        .put(NL80211_ATTR_SSID, ssid)
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

using Outcome = netmanager::ManagerScan::Outcome;

// A backend over a fake kernel that lists one station, wlan0, and a network
// manager that refuses unless told otherwise.
struct Machine {
    std::unique_ptr<FakeLink> owned = std::make_unique<FakeLink>();
    FakeLink& kernel = *owned;
    netmanager::ManagerScan managerAnswer{Outcome::Refused, {}, false, "NetworkManager: not running"};
    Lines managerAsked;  // "netdev name"
    util::Diagnostics diagnostics;
    std::unique_ptr<wifi::Backend> backend = makeNl80211Backend(
        [this] { return std::unique_ptr<KernelLink>(std::move(owned)); },
        [this](const std::string& netdev, const std::optional<std::string>& name, std::chrono::milliseconds) {
            managerAsked.push_back(netdev + " " + name.value_or("(any)"));
            return managerAnswer;
        },
        diagnostics);
    Machine() { kernel.interfaces = {interfaceReply(3, "wlan0", NL80211_IFTYPE_STATION)}; }
};

class BackendTest : public testing::Test, protected Machine {};

TEST(Backend, WithoutAStationThereIsNoDefaultInterfaceNorScan) {
    for (const int kind : {0, 1, 2}) {  // no kernel link, no interface, an access point only
        Machine machine;
        machine.kernel.interfaces = {interfaceReply(3, "wlan0", NL80211_IFTYPE_AP)};
        if (kind == 1) machine.kernel.interfaces = {};
        if (kind == 0) machine.owned.reset();
        EXPECT_FALSE(machine.backend->defaultInterface() || machine.backend->scan(std::nullopt)) << kind;
        EXPECT_EQ(machine.backend->interfaces().has_value(), kind != 0) << kind;
    }
}

TEST_F(BackendTest, ListsByIndexWithP2PDevicesLastAndDefaultsToTheFirstStation) {
    const Bytes p2pDevice =
        NetlinkMessage(NL80211_CMD_NEW_INTERFACE).put(NL80211_ATTR_WDEV, std::uint64_t{9}).attributes();
    kernel.interfaces = {interfaceReply(7, "wlan1", NL80211_IFTYPE_STATION), p2pDevice,
                         interfaceReply(3, "wlan\xFF", NL80211_IFTYPE_AP),
                         interfaceReply(8, "wlan2", NL80211_IFTYPE_STATION)};
    EXPECT_EQ(backend->defaultInterface()->name, "wlan1");
    const auto list = backend->interfaces().value();
    std::vector<std::optional<std::string>> names;
    for (const auto& entry : list) names.push_back(entry.name);
    // A name that is not UTF-8 still reads as text.
    EXPECT_EQ(names, (decltype(names){"wlan\xEF\xBF\xBD", "wlan1", "wlan2", std::nullopt}));
}

TEST_F(BackendTest, JoinedInterfaceIsAFullValueAskedOfTheKernelOnce) {
    kernel.interfaces = {interfaceReply(3, "wlan0", NL80211_IFTYPE_STATION, Bytes(32, 'x'))};
    kernel.scanResults = {bssReply(1, "Other", NL80211_BSS_STATUS_AUTHENTICATED),
                          bssReply(2, std::string(32, 'x'), NL80211_BSS_STATUS_ASSOCIATED)};
    kernel.stations = {stationReply(9, 0xD0), stationReply(2, 0xC6)};
    const wifi::Interface joined{"wlan0", std::string(32, 'x'), "02:00:00:00:00:02", -58};
    EXPECT_EQ(backend->defaultInterface(), joined);
    EXPECT_EQ(backend->interfaces(), std::vector{joined});
    EXPECT_EQ(kernel.asked, (Lines{"interfaces", "scan 3", "stations 3"}));
}

// With no associated BSS, a client takes its BSSID from the station list.
TEST(Backend, BssidFallsBackToTheStationListOnlyForAClient) {
    for (const auto type : {NL80211_IFTYPE_STATION, NL80211_IFTYPE_P2P_CLIENT, NL80211_IFTYPE_AP}) {
        Machine machine;
        machine.kernel.interfaces = {interfaceReply(3, "wlan0", type)};
        machine.kernel.scanResults = {bssReply(1, "Other")};
        machine.kernel.stations = {stationReply(5, 0xC0)};
        const auto wlan0 = machine.backend->interfaces()->front();
        EXPECT_EQ(wlan0.bssid.has_value() ? wlan0.rssi : 1, type != NL80211_IFTYPE_AP ? -64 : 1) << type;
    }
}

// Only a process the kernel will not let scan asks the network manager; a
// scan that runs is awaited; a gone or down device, or no answer, fails.
TEST(Backend, ScanFollowsTheTriggerAnswerAndKeepsHiddenNetworks) {
    const struct {
        std::optional<int> triggerAnswer;
        bool awaits, succeeds, noted;
    } cases[] = {{0, true, true, false},           {EBUSY, true, true, false},       {EPERM, false, true, true},
                 {EACCES, false, true, true},      {EOPNOTSUPP, false, true, true},  {ENODEV, false, false, true},
                 {ENETDOWN, false, false, true},   {std::nullopt, false, false, true}};
    for (const auto& row : cases) {
        Machine machine;
        machine.kernel.scanResults = {bssReply(1, "Cafe"), bssReply(2, "Home"), bssReply(3, "")};
        machine.kernel.triggerAnswer = row.triggerAnswer;
        const auto networks = machine.backend->scan(std::nullopt);
        const int answer = row.triggerAnswer.value_or(-1);
        EXPECT_EQ(machine.kernel.awaited, row.awaits) << answer;
        EXPECT_EQ(machine.managerAsked.size(), answer == EPERM || answer == EACCES) << answer;
        EXPECT_EQ(networks ? networks->size() : 0u, row.succeeds ? 3u : 0u) << answer;
        EXPECT_EQ(networks.has_value(), row.succeeds) << answer;
        EXPECT_EQ(machine.diagnostics.lines().size(), row.noted) << answer;
    }
}

TEST_F(BackendTest, ScanThatCannotBeFollowedOrEndedInTimeSaysSo) {
    kernel.scanResults = {bssReply(1, "Cafe")};
    kernel.scanEnds = false;
    EXPECT_EQ(backend->scan(std::nullopt)->size(), 1u);
    kernel.canWatch = false;
    EXPECT_FALSE(backend->scan(std::nullopt));
}

TEST(Backend, ScanByTheNetworkManagerReadsTheKernelsResultsAndSaysWhatItLacked) {
    const auto scanFor = [](const netmanager::ManagerScan& answer, const std::optional<std::string>& name) {
        Machine machine;
        machine.kernel.triggerAnswer = EPERM;
        machine.kernel.scanResults = {bssReply(1, "Cafe"), bssReply(2, "")};
        machine.managerAnswer = answer;
        const auto networks = machine.backend->scan(name);
        EXPECT_EQ(machine.managerAsked, Lines{"wlan0 " + name.value_or("(any)")});
        EXPECT_EQ(networks ? networks->size() : 99u, name ? 1u : 2u);
        return machine.diagnostics.lines();
    };
    EXPECT_EQ(scanFor({Outcome::Finished, "NetworkManager", true, {}}, "Cafe"), Lines{});
    EXPECT_EQ(scanFor({Outcome::Finished, "iwd", false, {}}, std::nullopt), Lines{});
    EXPECT_EQ(scanFor({Outcome::Finished, "iwd", false, {}}, "Cafe"), Lines{notes::notProbed("iwd", "Cafe")});
    EXPECT_EQ(scanFor({Outcome::Unfinished, "NetworkManager", true, {}}, "Cafe"),
              Lines{notes::scanTimedOut("wlan0", std::chrono::seconds(45), "NetworkManager")});
    EXPECT_EQ(scanFor({Outcome::Refused, {}, false, "NetworkManager: no"}, std::nullopt).size(), 1u);
}

TEST(Backend, OneNetworkPerBssNamedWhenEitherEntryHasTheName) {
    // The beacon's entry for a hidden BSS has an empty or zeroed SSID, the
    // probe response's the name; the kernel lists them in either order.
    const Bytes beacon = bssReply(7, std::string(4, '\0')), probed = bssReply(7, "Attic");
    for (const auto& listed : {Replies{beacon, bssReply(1, "Cafe"), probed, bssReply(2, "")},
                               Replies{probed, bssReply(1, "Cafe"), beacon, bssReply(2, "")}}) {
        Machine machine;
        machine.kernel.scanResults = listed;
        const auto networks = machine.backend->scan(std::nullopt);
        ASSERT_TRUE(networks);
        std::vector<std::optional<std::string>> names;
        for (const auto& network : *networks) names.push_back(network.ssid);
        EXPECT_EQ(names, (decltype(names){"Attic", "Cafe", std::nullopt}));
        EXPECT_EQ(machine.backend->scan("Attic")->size(), 1u);
    }
}

TEST_F(BackendTest, ScanForANameProbesItWhenItFitsAndKeepsOnlyExactMatches) {
    kernel.scanResults = {bssReply(1, "Cafe"), bssReply(2, "cafe"), bssReply(3, "Cafe "), bssReply(4, ""),
                          bssReply(5, "Cafe")};
    EXPECT_EQ(backend->scan("Cafe")->size(), 2u);
    EXPECT_EQ(kernel.probed, (std::vector<Bytes>{{'C', 'a', 'f', 'e'}, {}}));
    EXPECT_TRUE(backend->scan(std::string(32, 'x')));
    EXPECT_EQ(kernel.probed, (std::vector<Bytes>{Bytes(32, 'x'), {}}));
    for (const auto& unfit : {std::string(), std::string(33, 'x')}) {
        EXPECT_EQ(backend->scan(unfit)->size(), 0u);
        EXPECT_EQ(kernel.probed, std::vector<Bytes>(1)) << "only the wildcard";
    }
}

TEST_F(BackendTest, NetworkTakesTheProbeResponseElseTheBeaconAndWholeDbm) {
    auto bss = [](std::uint8_t last, std::int32_t mbm, std::optional<Bytes> probed) {
        return scanReplyOpen()
            .put(NL80211_BSS_BSSID, mac(last))
            .put(NL80211_BSS_SIGNAL_MBM, mbm)
            .put(NL80211_BSS_INFORMATION_ELEMENTS, probed)
            .put(NL80211_BSS_BEACON_IES, elementsNaming("Beacon"))
            .endNest()
            .attributes();
    };
    kernel.scanResults = {bss(1, -4799, elementsNaming("Probe")), bss(2, -99, std::nullopt),
                          bss(3, -10000, std::nullopt)};
    const auto n = backend->scan(std::nullopt).value();
    EXPECT_EQ(std::tie(n.at(0).ssid, n.at(1).elements, n.at(0).rssi, n.at(1).rssi, n.at(2).rssi),
              std::tuple("Probe", elementsNaming("Beacon"), -47, 0, -100));
}

}  // namespace
}  // namespace netmoth::nl80211
