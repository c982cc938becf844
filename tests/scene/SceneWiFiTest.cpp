// What the simulated client, its interfaces and their scans report.
#include <limits>

#include "SceneTestSupport.h"

namespace netmoth::scene {
namespace {

using testing::channelOf;
using testing::mustParse;
using testing::scan;
using Names = std::vector<std::optional<std::string>>;
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
constexpr auto kMax = std::numeric_limits<std::int64_t>::max();

Names ssids(const platform::NetworkList& networks) {
    Names names;
    for (const auto& network : networks) names.push_back(network->ssid());
    return names;
}

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
    EXPECT_EQ(std::tuple(list[0]->interfaceName(), list[0]->ssid(), list[0]->bssid()),
              std::tuple(std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(list[0]->rssiValue(), 0);
    EXPECT_TRUE(scan(*list[0]).empty());
    EXPECT_EQ(std::tuple(list[1]->ssid(), list[1]->bssid(), list[1]->rssiValue()),
              std::tuple("Home", "aa:bb:cc:dd:ee:ff", kMin));
    EXPECT_EQ(list[1]->scanForNetworks(std::nullopt, true), std::nullopt);
}

class SceneScan : public ::testing::Test {
protected:
    std::unique_ptr<Scene> scene_ = mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [
        {"ssid": "Home", "bssid": "01"}, {"bssid": "02", "answersProbeFor": "Lab"}, {"ssid": "home"},
        {"ssid": "Cafe", "bssid": "04", "answersProbeFor": "Home"}, {"ssid": "Home "}, {"ssid": "Home", "bssid": "06"},
        {"ssid": "Nul\u0000"}]}}]})");
    platform::WiFiInterface& interface_ = *scene_->client().interface();
};

TEST_F(SceneScan, WithoutANameReturnsEveryNetworkInFileOrder) {
    EXPECT_EQ(ssids(scan(interface_)), (Names{"Home", std::nullopt, "home", "Cafe", "Home ", "Home", std::string("Nul\0", 4)}));
}

TEST_F(SceneScan, ANameMatchesSsidBytesAndProbeAnswersUnderThatName) {
    const auto home = scan(interface_, "Home");
    ASSERT_EQ(ssids(home), (Names{"Home", "Home", "Home"}));
    EXPECT_EQ(std::tuple(home[0]->bssid(), home[1]->bssid(), home[2]->bssid()), std::tuple("01", "04", "06"));
    const auto lab = scan(interface_, "Lab");
    ASSERT_EQ(ssids(lab), Names{"Lab"});
    EXPECT_EQ(lab[0]->bssid(), "02");
    EXPECT_EQ(ssids(scan(interface_, "Cafe")), Names{"Cafe"});
    EXPECT_EQ(scan(interface_, std::string("Nul\0", 4)).size(), 1U);
    EXPECT_TRUE(scan(interface_, "Nul").empty());
    EXPECT_TRUE(scan(interface_, "").empty());
}

TEST_F(SceneScan, EachScanReturnsFreshNetworksThatOutliveTheScene) {
    auto first = scan(interface_);
    EXPECT_NE(first[0].get(), scan(interface_)[0].get());
    scene_.reset();
    EXPECT_EQ(first[5]->bssid(), "06");
}

TEST(SceneNetwork, ValuesAsGivenPresentButEmptyIsNotAbsent) {
    auto scene = mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [
        {"rssi": -48, "ie": "AAA=", "channel": {"number": 36, "band": 2, "width": 3},
         "security": [4, 11, 4, -9223372036854775808], "phyModes": [9223372036854775807], "unknown": {"x": 1}},
        {"ie": "", "channel": {}, "security": [], "phyModes": null},
        {"ie": null, "channel": null}]}}]})");
    const auto networks = scan(*scene->client().interface());
    EXPECT_EQ(networks[0]->rssiValue(), -48);
    EXPECT_EQ(networks[0]->informationElementData(), (platform::Bytes{0, 0}));
    EXPECT_EQ(channelOf(*networks[0]), std::tuple(36, 2, 3));
    for (const std::int64_t value : {std::int64_t{4}, std::int64_t{11}, kMin}) EXPECT_TRUE(networks[0]->supportsSecurity(value));
    EXPECT_FALSE(networks[0]->supportsSecurity(0));
    EXPECT_TRUE(networks[0]->supportsPHYMode(kMax));
    EXPECT_FALSE(networks[0]->supportsPHYMode(1));
    EXPECT_EQ(networks[1]->informationElementData(), platform::Bytes{});
    EXPECT_EQ(channelOf(*networks[1]), std::tuple(0, 0, 0));  // missing members: the "unknown" code
    EXPECT_EQ(networks[2]->informationElementData(), std::nullopt);
    EXPECT_EQ(channelOf(*networks[2]), std::tuple(-1, -1, -1));
    EXPECT_EQ(networks[2]->rssiValue(), 0);
    EXPECT_FALSE(networks[2]->supportsSecurity(0));
}

}  // namespace
}  // namespace netmoth::scene
