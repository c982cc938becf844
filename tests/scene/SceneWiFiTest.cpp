// What the simulated client, its interfaces and their scans report.
#include <limits>

#include "SceneTestSupport.h"

namespace netmoth::scene {
namespace {

using testing::channelOf;
using testing::mustParse;
using testing::scan;
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
constexpr auto kMax = std::numeric_limits<std::int64_t>::max();

TEST(SceneClient, InterfacesAbsentIsAnEmptyListNullIsNoListAndTheDefaultIsTheListedObject) {
    EXPECT_EQ(mustParse("{}")->client().interfaces(), std::vector<platform::WiFiInterface*>{});
    EXPECT_EQ(mustParse(R"({"interfaces": null})")->client().interfaces(), std::nullopt);
    EXPECT_EQ(mustParse(R"({"interfaces": [{}], "defaultInterface": null})")->client().interface(), nullptr);
    auto scene = mustParse(R"({"defaultInterface": 1, "interfaces": [{"name": "wlan0"}, {"name": "wlan1"}]})");
    const auto list = *scene->client().interfaces();
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(scene->client().interface(), list[1]);
    EXPECT_EQ(list[1]->interfaceName(), "wlan1");
}

TEST(SceneClient, InterfaceFieldsAbsentOrNullGiveNothingRssiZeroAndAnEmptyScan) {
    auto scene = mustParse(R"({"interfaces": [{"name": null, "rssi": null, "scan": null},
        {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -9223372036854775808, "scan": {"fails": true}}]})");
    const auto list = *scene->client().interfaces();
    EXPECT_EQ(std::tuple(list[0]->interfaceName(), list[0]->ssid(), list[0]->bssid(), list[0]->rssiValue()),
              std::tuple(std::nullopt, std::nullopt, std::nullopt, 0));
    EXPECT_TRUE(scan(*list[0]).empty());
    EXPECT_EQ(std::tuple(list[1]->ssid(), list[1]->bssid(), list[1]->rssiValue()),
              std::tuple("Home", "aa:bb:cc:dd:ee:ff", kMin));
    EXPECT_EQ(list[1]->scanForNetworks(std::nullopt, true), std::nullopt);
}

using Found = std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>>;  // SSID, BSSID

// A name keeps networks whose SSID has exactly its bytes, and hidden networks
// answering a probe for it, under that name; no name keeps all, in file order.
TEST(SceneScan, ANameMatchesSsidBytesOrAProbeAnswer) {
    const std::string nul("Nul\0", 4);
    const auto scene = mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [
        {"ssid": "Home", "bssid": "1"}, {"bssid": "2", "answersProbeFor": "Lab"}, {"ssid": "home", "bssid": "3"},
        {"ssid": "Cafe", "bssid": "4", "answersProbeFor": "Home"}, {"ssid": "Home ", "bssid": "5"},
        {"ssid": "Home", "bssid": "6"}, {"ssid": "Nul\u0000", "bssid": "7"}]}}]})");
    const std::vector<std::pair<std::optional<std::string>, Found>> cases = {
        {std::nullopt,
         {{"Home", "1"}, {std::nullopt, "2"}, {"home", "3"}, {"Cafe", "4"}, {"Home ", "5"}, {"Home", "6"}, {nul, "7"}}},
        {"Home", {{"Home", "1"}, {"Home", "4"}, {"Home", "6"}}},
        {"Lab", {{"Lab", "2"}}},
        {"Cafe", {{"Cafe", "4"}}},
        {nul, {{nul, "7"}}},
        {"Nul", {}},
        {"", {}}};
    for (const auto& [name, expected] : cases) {
        Found found;
        for (const auto& network : scan(*scene->client().interface(), name))
            found.emplace_back(network->ssid(), network->bssid());
        EXPECT_EQ(found, expected) << name.value_or("(no name)");
    }
}

TEST(SceneScan, EachScanReturnsFreshNetworksThatOutliveTheScene) {
    auto scene = mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [{"bssid": "1"}]}}]})");
    auto first = scan(*scene->client().interface());
    EXPECT_NE(first[0].get(), scan(*scene->client().interface())[0].get());
    scene.reset();
    EXPECT_EQ(first[0]->bssid(), "1");
}

// Absolute values as given are covered end to end; these are the edges.
TEST(SceneNetwork, PresentButEmptyIsNotAbsentAndAnyInt64IsAValue) {
    auto scene = mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [
        {"security": [4, 4, -9223372036854775808], "phyModes": [9223372036854775807], "unknown": {"x": 1}},
        {"ie": "", "channel": {}, "security": []},
        {"ie": null, "channel": null, "rssi": null, "phyModes": null}]}}]})");
    const auto networks = scan(*scene->client().interface());
    EXPECT_TRUE(networks[0]->supportsSecurity(4) && networks[0]->supportsSecurity(kMin) &&
                networks[0]->supportsPHYMode(kMax));
    EXPECT_FALSE(networks[0]->supportsSecurity(0) || networks[0]->supportsPHYMode(1));
    EXPECT_EQ(networks[1]->informationElementData(), platform::Bytes{});
    EXPECT_EQ(channelOf(*networks[1]), std::tuple(0, 0, 0));  // missing members: the "unknown" code
    EXPECT_EQ(std::tuple(networks[2]->informationElementData(), networks[2]->rssiValue()), std::tuple(std::nullopt, 0));
    EXPECT_EQ(channelOf(*networks[2]), std::tuple(-1, -1, -1));
    EXPECT_FALSE(networks[1]->supportsSecurity(0) || networks[2]->supportsSecurity(0) ||
                 networks[2]->supportsPHYMode(0));
}

}  // namespace
}  // namespace netmoth::scene
