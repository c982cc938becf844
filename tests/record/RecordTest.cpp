// A run recorded through the recorder replays from the scene it wrote with
// exactly the answers it had; a record that cannot be written leaves no trace.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/Base64.h"
#include "platform/FixedLocationManager.h"
#include "platform/ieee80211/RadioNetwork.h"
#include "platform/posix/MemoryUserDefaults.h"
#include "platform/record/RecordingServices.h"
#include "platform/scene/Scene.h"
#include "support/FakePlatform.h"

namespace netmoth::record {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct TempFolder {
    std::string path = (fs::temp_directory_path() / "record-test-XXXXXX").string();
    TempFolder() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
    ~TempFolder() { fs::remove_all(path); }
    fs::path operator/(const char* name) const { return fs::path(path) / name; }
};

std::string readText(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The platform the recorder wraps: any client, a fixed location status.
struct ClientServices final : platform::PlatformServices {
    platform::WiFiClient& client;
    std::int32_t status;
    platform::posix::MemoryUserDefaults defaults;

    ClientServices(platform::WiFiClient& c, std::int32_t s) : client(c), status(s) {}
    platform::WiFiClient& sharedWiFiClient() override { return client; }
    std::unique_ptr<platform::LocationManager> makeLocationManager(platform::RunLoop& runLoop) override {
        return std::make_unique<platform::FixedLocationManager>(runLoop, status, true);
    }
    platform::UserDefaults& standardUserDefaults() override { return defaults; }
};

platform::Diagnostics unusedDiagnostics;

std::unique_ptr<platform::PlatformServices> recorderOver(platform::WiFiClient& client, const fs::path& target,
                                                         std::int32_t status = 3,
                                                         platform::Diagnostics& diagnostics = unusedDiagnostics) {
    return makeRecordingServices(std::make_unique<ClientServices>(client, status), target, diagnostics);
}

// A client listing just this interface, with no default.
netmoth::testing::FakeClient clientOf(platform::WiFiInterface& interface) {
    netmoth::testing::FakeClient client;
    client.list = std::vector<platform::WiFiInterface*>{&interface};
    return client;
}

template <typename T>
json orNull(const std::optional<T>& value) {
    return value ? json(*value) : json();
}

json answersOf(const platform::WiFiNetwork& network) {
    json security = json::array();
    json phyModes = json::array();
    for (std::int64_t value = 0; value < 16; ++value) {
        if (network.supportsSecurity(value)) security.push_back(value);
        if (network.supportsPHYMode(value)) phyModes.push_back(value);
    }
    const auto channel = network.wlanChannel();
    return {{"ssid", orNull(network.ssid())},
            {"bssid", orNull(network.bssid())},
            {"rssi", network.rssiValue()},
            {"ie", orNull(network.informationElementData())},
            {"channel", channel ? json{channel->channelNumber, channel->channelBand, channel->channelWidth} : json()},
            {"security", security},
            {"phyModes", phyModes}};
}

// Everything the reports can ask of a client, with one scan per interface.
json answersOf(platform::WiFiClient& client, const std::optional<std::string>& name) {
    const auto list = client.interfaces();
    const platform::WiFiInterface* chosen = client.interface();
    json answers = {{"hasDefault", chosen != nullptr}, {"list", list ? json::array() : json()}};
    for (std::size_t i = 0; list && i < list->size(); ++i) {
        platform::WiFiInterface& interface = *(*list)[i];
        if (&interface == chosen) answers["default"] = i;
        json networks;
        if (auto scanned = interface.scanForNetworks(name, true)) {
            networks = json::array();
            for (const auto& network : *scanned) networks.push_back(answersOf(*network));
        }
        answers["list"].push_back({orNull(interface.interfaceName()), orNull(interface.ssid()),
                                   orNull(interface.bssid()), interface.rssiValue(), networks});
    }
    return answers;
}

// What the run saw through the recorder, what the written scene answers, and the file.
struct RoundTrip {
    json recorded, replayed, file;
};

RoundTrip roundTrip(platform::WiFiClient& client, const std::optional<std::string>& name) {
    const TempFolder folder;
    RoundTrip trip;
    trip.recorded = answersOf(recorderOver(client, folder / "recorded.json")->sharedWiFiClient(), name);
    const auto replay = scene::loadSceneFile(folder / "recorded.json");
    EXPECT_TRUE(replay.scene) << replay.error;
    if (replay.scene) trip.replayed = answersOf(replay.scene->client(), name);
    trip.file = json::parse(readText(folder / "recorded.json"), nullptr, false);
    return trip;
}

constexpr const char* kHome = R"({"defaultInterface": 1, "interfaces": [
  {"name": "p2p-dev-wlan0"},
  {"name": "wlan0", "ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "scan": {"networks": [
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "ie": "AARIb21l",
     "channel": {"number": 36, "band": 2, "width": 3}, "security": [4, 11], "phyModes": [1, 4, 5]},
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:01", "rssi": -71, "ie": "", "channel": {}, "security": [0, 15]},
    {"bssid": "aa:bb:cc:dd:ee:02", "rssi": -80, "frequency": 2437, "capability": 17, "answersProbeFor": "Lab"},
    {"ssid": "Caf\u00e9 \u0000", "channel": {"number": 999, "band": 9, "width": -1}, "phyModes": [0, 7]}]}}]})";

struct SceneCase {
    const char* label;
    const char* scene;
    std::optional<std::string> name;
};

void PrintTo(const SceneCase& c, std::ostream* out) { *out << c.label; }

class SceneReplay : public ::testing::TestWithParam<SceneCase> {};

TEST_P(SceneReplay, AnswersAsTheRecordedRun) {
    const auto original = scene::parseScene(GetParam().scene);
    const auto untouched = scene::parseScene(GetParam().scene);
    ASSERT_TRUE(original.scene && untouched.scene);
    const RoundTrip trip = roundTrip(original.scene->client(), GetParam().name);
    EXPECT_EQ(trip.recorded, answersOf(untouched.scene->client(), GetParam().name))
        << "the recorder must forward unchanged";
    EXPECT_EQ(trip.replayed, trip.recorded);
}

INSTANTIATE_TEST_SUITE_P(Record, SceneReplay,
                         ::testing::Values(SceneCase{"ScanWithoutName", kHome, std::nullopt},
                                           SceneCase{"TwoBssesOfOneName", kHome, "Home"},
                                           SceneCase{"NothingMatches", kHome, "Nowhere"},
                                           SceneCase{"FailingScan", R"({"defaultInterface": 0, "interfaces": [
                          {"name": "wlan0", "scan": {"fails": true, "networks": [{"ssid": "x"}]}}]})",
                                                     std::nullopt},
                                           SceneCase{"NoDefaultInterface",
                                                     R"({"interfaces": [{"name": "wlan0", "rssi": -3}]})",
                                                     std::nullopt},
                                           SceneCase{"EmptyList", "{}", std::nullopt}),
                         [](const auto& test) { return test.param.label; });

// Rates, 40 MHz HT operation on 36, RSN with PSK.
const platform::Bytes kLabElements =
    *platform::decodeBase64("AQaChAsWDBg9FiQFAAAAAAAAAAAAAAAAAAAAAAAAAAAwFAEAAA+sBAEAAA+sBAEAAA+sAgAA");
// HT capabilities alone: 802.11n in any band.
const platform::Bytes kHtCapabilities = *platform::decodeBase64("LRoAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA==");

// Serves radio networks as the Linux backend does: a name keeps exact SSID matches only.
struct RadioInterface final : platform::WiFiInterface {
    std::vector<ieee80211::RadioFacts> bsses;
    std::optional<std::string> interfaceName() const override { return "wlan0"; }
    std::optional<std::string> ssid() const override { return std::nullopt; }
    std::optional<std::string> bssid() const override { return std::nullopt; }
    std::int64_t rssiValue() const override { return 0; }
    std::optional<platform::NetworkList> scanForNetworks(const std::optional<std::string>& name, bool) override {
        platform::NetworkList list;
        for (const auto& facts : bsses) {
            if (!name || facts.ssid == name) list.push_back(ieee80211::makeRadioNetwork(facts));
        }
        return list;
    }
};

class RadioReplay : public ::testing::TestWithParam<std::optional<std::string>> {};

TEST_P(RadioReplay, KeepsTheRadioFactsWhereTheSceneDerivesTheSame) {
    RadioInterface wlan;
    wlan.bsses = {{"02:00:00:00:00:01", "Lab", -47, 5180, 0x0011, kLabElements},
                  {"02:00:00:00:00:02", std::nullopt, -80, 2437, 0x0010, std::nullopt},
                  {"02:00:00:00:00:03", "Lab", -60, std::nullopt, 0x0001, kHtCapabilities}};
    auto client = clientOf(wlan);
    const RoundTrip trip = roundTrip(client, GetParam());
    EXPECT_EQ(trip.replayed, trip.recorded);
    for (const json& network : trip.file["interfaces"][0]["scan"]["networks"]) {
        const bool hasFrequency = network["bssid"] != "02:00:00:00:00:03";
        EXPECT_EQ(network.contains("capability"), hasFrequency) << network;
        EXPECT_EQ(network.contains("phyModes"), !hasFrequency) << network;
    }
    // Without a frequency the radio network still finds 802.11n in its elements.
    EXPECT_EQ(trip.recorded["list"][0][4].back()["phyModes"], json{4});
}

INSTANTIATE_TEST_SUITE_P(Record, RadioReplay, ::testing::Values(std::nullopt, "Lab"));

TEST(Record, NetworkAnsweringUnderAnotherSsidIsReplayedThroughTheProbe) {
    netmoth::testing::FakeInterface wlan;
    wlan.networks.resize(1);
    wlan.networks[0].bssidValue = "02:00:00:00:00:09";
    auto client = clientOf(wlan);
    const RoundTrip trip = roundTrip(client, "Lab");
    EXPECT_EQ(trip.file["interfaces"][0]["scan"]["networks"][0].value("answersProbeFor", ""), "Lab");
    ASSERT_EQ(trip.replayed["list"][0][4].size(), 1U);
    EXPECT_EQ(trip.replayed["list"][0][4][0]["bssid"], "02:00:00:00:00:09");
}

// Asks for the status in the callback, as permission mode does.
struct StatusReader final : platform::LocationManagerDelegate {
    platform::RunLoop& runLoop;
    platform::LocationManager* calledWith = nullptr;
    explicit StatusReader(platform::RunLoop& loop) : runLoop(loop) {}
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager) override {
        calledWith = &manager;
        manager.authorizationStatus();
        runLoop.stop();
    }
};

TEST(Record, KeepsTheLocationStatusAskedInTheCallbackOrNeverAsked) {
    for (const bool asked : {true, false}) {
        const TempFolder folder;
        netmoth::testing::FakeClient client;
        {
            auto services = recorderOver(client, folder / "scene.json", -7);
            platform::RunLoop runLoop;
            StatusReader reader(runLoop);
            auto manager = services->makeLocationManager(runLoop);
            if (asked) {
                manager->setDelegate(&reader);
                runLoop.run();
            }
            EXPECT_EQ(reader.calledWith, asked ? manager.get() : nullptr)
                << "the delegate must be told of the recorder";
        }
        EXPECT_EQ(json::parse(readText(folder / "scene.json"))["location"],
                  (json{{"authorizationStatus", -7}, {"delivers", true}}));
    }
}

// Also no record without a radio, and none over what is not a regular file
// (as root, a record at /dev/full would replace the device node).
TEST(Record, WriteThatCannotBeMadeLeavesTheFolderAsItWas) {
    const TempFolder folder;
    std::ofstream(folder / "scene.json") << "earlier";
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    netmoth::testing::FakeInterface wlan;
    wlan.name = "wlan\xff";  // a scene file is UTF-8 and cannot hold this name
    auto client = clientOf(wlan);
    EXPECT_NO_THROW(recorderOver(client, folder / "scene.json").reset());
    netmoth::testing::FakeClient nothing;
    EXPECT_NO_THROW(recorderOver(nothing, fs::path(folder.path) / "missing" / "scene.json").reset());
    nothing.list = std::nullopt;
    recorderOver(nothing, folder / "no-radio.json").reset();
    netmoth::testing::FakeClient radio;
    for (const char* target : {"fifo", "folder"}) {
        platform::Diagnostics diagnostics;
        recorderOver(radio, folder / target, 3, diagnostics).reset();
        ASSERT_EQ(diagnostics.lines().size(), 1u) << target;
        EXPECT_NE(diagnostics.lines()[0].find((folder / target).string()), std::string::npos);
    }
    EXPECT_EQ(readText(folder / "scene.json"), "earlier");
    EXPECT_EQ(fs::status(folder / "fifo").type(), fs::file_type::fifo);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 3) << "a record was written";
}

}  // namespace
}  // namespace netmoth::record
