#include "nl80211/Nl80211Backend.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "NetlinkMessage.h"

namespace netmoth::nl80211 {
namespace {

using namespace test;
using Lines = std::vector<std::string>;
using nlohmann::json;

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
        .put(NL80211_ATTR_IFNAME, name)
        .put(NL80211_ATTR_IFTYPE, type)
        .put(NL80211_ATTR_SSID, ssid)
        .attributes();
}

// A BSS heard by its beacon, which names it "Beacon", and by a probe response naming it ssid, if any.
Bytes bssReply(std::uint8_t last, const std::optional<std::string>& ssid, std::optional<std::uint32_t> status = {},
               std::optional<std::int32_t> mbm = {}) {
    return scanReplyOpen()
        .put(NL80211_BSS_BSSID, mac(last))
        .put(NL80211_BSS_SIGNAL_MBM, mbm)
        .put(NL80211_BSS_INFORMATION_ELEMENTS, ssid ? std::optional(elementsNaming(*ssid)) : std::nullopt)
        .put(NL80211_BSS_BEACON_IES, elementsNaming("Beacon"))
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
    netmanager::ManagerScan managerAnswer;
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

// With no associated BSS, a client takes its AP, and so its signal, from the station list.
TEST_F(BackendTest, ListsByIndexWithP2PDevicesLastDefaultsToTheFirstStationAndJoinsClientsToTheirStation) {
    const Bytes p2pDevice =
        NetlinkMessage(NL80211_CMD_NEW_INTERFACE).put(NL80211_ATTR_WDEV, std::uint64_t{9}).attributes();
    kernel.interfaces = {
        interfaceReply(7, "wlan1", NL80211_IFTYPE_STATION), p2pDevice, interfaceReply(3, "wlan\xFF", NL80211_IFTYPE_AP),
        interfaceReply(9, "wlan3", NL80211_IFTYPE_P2P_CLIENT), interfaceReply(8, "wlan2", NL80211_IFTYPE_STATION)};
    kernel.scanResults = {bssReply(1, "Other")};
    kernel.stations = {stationReply(5, 0xC0)};
    EXPECT_EQ(backend->defaultInterface()->name, "wlan1");
    std::vector<std::pair<std::optional<std::string>, std::int64_t>> seen;
    for (const auto& entry : backend->interfaces().value_or(std::vector<wifi::Interface>{}))
        seen.emplace_back(entry.name, entry.rssi);
    // A name that is not UTF-8 still reads as text.
    EXPECT_EQ(seen, (decltype(seen){{"wlan\xEF\xBF\xBD", 0}, {"wlan1", -64}, {"wlan2", -64}, {"wlan3", -64}, {{}, 0}}));
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

// Each row of scan-cases.json: the kernel lists wlan0 and the BSSes "listed" ([last byte of the BSSID, SSID]),
// answers the trigger with the errno named by "trigger" (default "0"; null: netlink failed), may leave the scan
// unwatchable ("cannot watch") or unended ("never ends"), and the network manager answers "manager" [outcome,
// who, probed, refusals]. The scan for "name" (null: any) gives "networks" by SSID (null: it fails), has
// "awaited" the scan's end, asked the manager "asked", probed "probed" (default: the wildcard alone) and noted
// one line holding each of "notes".
TEST(Backend, ScanAnswersAsEachCaseSays) {
    const std::map<std::string, int> errors{
        {"0", 0},           {"EBUSY", EBUSY},       {"EPERM", EPERM},          {"EACCES", EACCES},
        {"ENODEV", ENODEV}, {"ENETDOWN", ENETDOWN}, {"EOPNOTSUPP", EOPNOTSUPP}};
    const std::string outcomes[] = {"Finished", "Unfinished", "Refused"};
    for (const json& row :
         json::parse(std::ifstream(std::filesystem::path(__FILE__).parent_path() / "scan-cases.json"))) {
        SCOPED_TRACE(row.dump());
        Machine machine;
        for (const auto& [last, ssid] : row["listed"].get<std::vector<std::pair<std::uint8_t, std::string>>>())
            machine.kernel.scanResults.push_back(bssReply(last, ssid));
        const json trigger = row.value("trigger", json("0"));
        machine.kernel.triggerAnswer = trigger.is_null() ? std::nullopt : std::optional(errors.at(trigger));
        machine.kernel.canWatch = !row.value("cannot watch", false);
        machine.kernel.scanEnds = !row.value("never ends", false);
        const auto [outcome, who, probes, refusals] =
            row.value("manager", std::tuple<std::string, std::string, bool, std::string>{"Refused", "", false, ""});
        machine.managerAnswer = {Outcome(std::ranges::find(outcomes, outcome) - outcomes), who, probes, refusals};
        const auto networks =
            machine.backend->scan(row["name"].is_null() ? std::nullopt : std::optional(row["name"].get<std::string>()));
        json names = networks ? json::array() : json();
        for (const auto& network : networks.value_or(std::vector<wifi::Network>{}))
            names.push_back(network.ssid ? json(*network.ssid) : json());
        Lines probed, notes = machine.diagnostics.lines(), fragments = row.value("notes", Lines{});
        for (const auto& ssid : machine.kernel.probed) probed.emplace_back(ssid.begin(), ssid.end());
        for (std::size_t i = 0; i < std::min(notes.size(), fragments.size()); ++i)
            if (notes[i].find(fragments[i]) != std::string::npos) notes[i] = fragments[i];
        EXPECT_EQ(names, row["networks"]);
        EXPECT_EQ(machine.kernel.awaited, row.value("awaited", false));
        EXPECT_EQ(machine.managerAsked, row.value("asked", Lines{}));
        EXPECT_EQ(probed, row.value("probed", Lines{""}));
        EXPECT_EQ(notes, fragments);
    }
}

TEST_F(BackendTest, NetworkTakesTheProbeResponseElseTheBeaconAndWholeDbm) {
    kernel.scanResults = {bssReply(1, "Probe", {}, -4799), bssReply(2, {}, {}, -99), bssReply(3, {}, {}, -10000)};
    const auto n = backend->scan(std::nullopt).value();
    EXPECT_EQ(std::tie(n.at(0).ssid, n.at(1).elements, n.at(0).rssi, n.at(1).rssi, n.at(2).rssi),
              std::tuple("Probe", elementsNaming("Beacon"), -47, 0, -100));
}

}  // namespace
}  // namespace netmoth::nl80211
