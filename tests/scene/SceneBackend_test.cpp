// What the scene backend answers: interfaces and their defaults, scans by
// name, and networks described as the radio reports them.
#include <limits>

#include "SceneText.h"
#include "scene/SceneBackend.h"

namespace netmoth::scene {
namespace {

using testing::mustRead;
using testing::scanning;
using wifi::Security;

SceneBackend backendOf(std::string_view json) { return SceneBackend(mustRead(json)); }

std::vector<wifi::Network> scanned(std::string_view json, const std::optional<std::string>& name = std::nullopt) {
    auto networks = backendOf(json).scan(name);
    EXPECT_TRUE(networks.has_value());
    return networks.value_or(std::vector<wifi::Network>{});
}

TEST(SceneBackend, InterfacesAbsentAreAnEmptyListNullIsNoListAndTheDefaultIsAListedOne) {
    EXPECT_EQ(backendOf("{}").interfaces(), std::vector<wifi::Interface>{});
    EXPECT_EQ(backendOf(R"({"interfaces": null})").interfaces(), std::nullopt);
    auto undecided = backendOf(R"({"interfaces": [{"scan": {"networks": [{}]}}], "defaultInterface": null})");
    EXPECT_EQ(undecided.defaultInterface(), std::nullopt);
    EXPECT_EQ(undecided.scan(std::nullopt), std::nullopt) << "no interface scans";
    auto backend = backendOf(R"({"defaultInterface": 1, "interfaces": [{"name": "p2p", "rssi": null, "scan": null},
        {"name": "wlan1", "ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -9223372036854775808}]})");
    const wifi::Interface wlan1{"wlan1", "Home", "aa:bb:cc:dd:ee:ff", std::numeric_limits<std::int64_t>::min()};
    EXPECT_EQ(backend.interfaces(), (std::vector<wifi::Interface>{{"p2p", {}, {}, 0}, wlan1}));
    EXPECT_EQ(backend.defaultInterface(), wlan1);
    EXPECT_EQ(backend.scan(std::nullopt), std::vector<wifi::Network>{});
    EXPECT_EQ(backend.scan(std::nullopt), std::nullopt) << "the first scan took the networks";
    EXPECT_EQ(backendOf(R"({"defaultInterface": 0, "interfaces": [{"scan": {"fails": true, "networks": [{}]}}]})")
                  .scan("x"),
              std::nullopt);
}

// A name keeps networks whose SSID has exactly its bytes, and networks
// answering a probe for it, under that name; no name keeps all, in file order.
TEST(SceneBackend, AScanForANameMatchesSsidBytesOrAProbeAnswer) {
    using Found = std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>>;  // SSID, BSSID
    const std::string nul("Nul\0", 4);
    const std::string scene = scanning(R"({"ssid": "Home", "bssid": "1"}, {"bssid": "2", "answersProbeFor": "Lab"},
        {"ssid": "home", "bssid": "3"}, {"ssid": "Cafe", "bssid": "4", "answersProbeFor": "Home"},
        {"ssid": "Home ", "bssid": "5"}, {"ssid": "Nul\u0000", "bssid": "7"})");
    const std::pair<std::optional<std::string>, Found> cases[] = {
        {std::nullopt, {{"Home", "1"}, {std::nullopt, "2"}, {"home", "3"}, {"Cafe", "4"}, {"Home ", "5"}, {nul, "7"}}},
        {"Home", {{"Home", "1"}, {"Home", "4"}}},
        {"Lab", {{"Lab", "2"}}},
        {"Cafe", {{"Cafe", "4"}}},
        {nul, {{nul, "7"}}},
        {"", {}}};
    for (const auto& [name, expected] : cases) {
        Found found;
        for (const wifi::Network& network : scanned(scene, name)) found.emplace_back(network.ssid, network.bssid);
        EXPECT_EQ(found, expected) << name.value_or("(no name)");
    }
}

TEST(SceneBackend, PresentButEmptyIsNotAbsent) {
    const auto networks = scanned(scanning(R"({"ie": "", "channel": {}, "security": [], "unknown": {"x": 1}},
        {"ie": null, "channel": null, "rssi": null, "phyModes": null})"));
    ASSERT_EQ(networks.size(), 2U);
    EXPECT_EQ(networks[0].elements, wifi::Bytes{});
    EXPECT_EQ(networks[0].channel, wifi::Channel{});
    EXPECT_EQ(networks[1], wifi::Network{});
}

// Radio-level facts (frequency, capability, elements) derive what the network
// leaves out; explicit values win. The elements: SSID "Lab"; rates 1, 2 (basic),
// 5.5, 11, 6, 12 Mb/s; RSN with CCMP and PSK. Capability 1041: ESS, privacy, short slot.
TEST(RadioLevel, DerivesWhatIsLeftOutAndExplicitValuesWin) {
    const std::string ie = R"("ie": "AANMYWIBBoKECxYMGDAUAQAAD6wEAQAAD6wEAQAAD6wCAAA=")";
    const struct {
        std::string fields;
        std::optional<std::string> ssid;
        std::optional<wifi::Channel> channel;
        wifi::SecuritySet security;
        std::optional<wifi::PhyMode> highest;
    } cases[] = {
        {R"("frequency": 2462, "capability": 1041, )" + ie, "Lab", wifi::Channel{11, 20, 2400},
         {Security::Wpa2Personal}, wifi::PhyMode::G},
        {R"("ssid": "Given", "frequency": 2462, "capability": 1041, "channel": {"number": 7},
            "security": [], "phyModes": [6], )" + ie, "Given", wifi::Channel{7, 0, 0}, {}, wifi::PhyMode::AX},
        {R"("capability": 17)", std::nullopt, std::nullopt, {Security::Wep}, std::nullopt},
        {R"("frequency": 5180)", std::nullopt, wifi::Channel{36, 20, 5000}, {Security::None}, std::nullopt},
        {ie, std::nullopt, std::nullopt, {}, std::nullopt},  // elements alone are not radio-level
    };
    for (const auto& expected : cases) {
        const auto networks = scanned(scanning("{" + expected.fields + "}"));
        ASSERT_EQ(networks.size(), 1U) << expected.fields;
        EXPECT_EQ(networks[0].ssid, expected.ssid) << expected.fields;
        EXPECT_EQ(networks[0].channel, expected.channel) << expected.fields;
        EXPECT_EQ(networks[0].security, expected.security) << expected.fields;
        EXPECT_EQ(networks[0].highestPhyMode, expected.highest) << expected.fields;
    }
    // A probe answer is reported under the name, not the element's.
    EXPECT_EQ(scanned(scanning(R"({"capability": 1, "answersProbeFor": "Home", )" + ie + "}"), "Home").at(0).ssid,
              "Home");
}

}  // namespace
}  // namespace netmoth::scene
