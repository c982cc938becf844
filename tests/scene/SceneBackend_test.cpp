// What the scene backend answers (interfaces and their defaults, scans by
// name, networks described as the radio reports them), and runs recorded
// through the recording backend, which replay with exactly the answers they
// had; a record that cannot be written leaves no trace.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "SceneText.h"
#include "scene/RecordingBackend.h"
#include "scene/SceneBackend.h"

namespace netmoth::scene {
namespace {

namespace fs = std::filesystem;
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
    auto undecided = backendOf(R"({"interfaces": [{"scan": {"networks": [{}]}}], "defaultInterface": null})");
    EXPECT_EQ(undecided.scan(std::nullopt), std::nullopt) << "no interface scans";
    auto backend = backendOf(R"({"defaultInterface": 1, "interfaces": [{"name": "p2p", "rssi": null, "scan": null},
        {"name": "wlan1", "ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -9223372036854775808}]})");
    const wifi::Interface wlan1{"wlan1", "Home", "aa:bb:cc:dd:ee:ff", std::numeric_limits<std::int64_t>::min()};
    EXPECT_EQ(backend.interfaces(), (std::vector<wifi::Interface>{{"p2p", {}, {}, 0}, wlan1}));
    EXPECT_EQ(backend.defaultInterface(), wlan1);
    EXPECT_EQ(backend.scan(std::nullopt), std::vector<wifi::Network>{});
}

// A name keeps networks whose SSID has exactly its bytes, and networks
// answering a probe for it, under that name; no name keeps all, in file order.
// Present but empty values are not absent ones.
TEST(SceneBackend, AScanForANameMatchesSsidBytesOrAProbeAnswer) {
    using Found = std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>>;  // SSID, BSSID
    const std::string nul("Nul\0", 4), scene = scanning(R"({"ssid": "Home", "bssid": "1"}, {"bssid": "2",
        "answersProbeFor": "Lab"}, {"ssid": "home", "bssid": "3"}, {"ssid": "Cafe", "bssid": "4", "answersProbeFor":
        "Home"}, {"ssid": "Home ", "bssid": "5"}, {"ssid": "Nul\u0000", "bssid": "7"})");
    const std::pair<std::optional<std::string>, Found> cases[] = {
        {std::nullopt, {{"Home", "1"}, {std::nullopt, "2"}, {"home", "3"}, {"Cafe", "4"}, {"Home ", "5"}, {nul, "7"}}},
        {"Home", {{"Home", "1"}, {"Home", "4"}}}, {"Lab", {{"Lab", "2"}}}, {nul, {{nul, "7"}}}};
    for (const auto& [name, expected] : cases) {
        Found found;
        for (const wifi::Network& network : scanned(scene, name)) found.emplace_back(network.ssid, network.bssid);
        EXPECT_EQ(found, expected) << name.value_or("(no name)");
    }
    const auto networks = scanned(scanning(R"({"ie": "", "channel": {}}, {"ie": null, "channel": null})"));
    EXPECT_EQ(std::tie(networks.at(0).elements, networks.at(0).channel, networks.at(1)),
              std::tuple(wifi::Bytes{}, wifi::Channel{}, wifi::Network{}));
}

// Radio-level facts (frequency, capability, elements) derive what the network
// leaves out; explicit values win. The elements: SSID "Lab"; rates 1, 2 (basic),
// 5.5, 11, 6, 12 Mb/s; RSN with CCMP and PSK. Capability 1041: ESS, privacy, short slot.
TEST(RadioLevel, DerivesWhatIsLeftOutAndExplicitValuesWin) {
    const std::string ie = R"("ie": "AANMYWIBBoKECxYMGDAUAQAAD6wEAQAAD6wEAQAAD6wCAAA=")";
    const std::tuple<std::string, std::optional<std::string>, std::optional<wifi::Channel>, wifi::SecuritySet,
                     std::optional<wifi::PhyMode>>
        cases[] = {
            {R"("frequency": 2462, "capability": 1041, )" + ie, "Lab", wifi::Channel{11, 20, 2400},
             {Security::Wpa2Personal}, wifi::PhyMode::G},
            {R"("ssid": "Given", "frequency": 2462, "capability": 1041, "channel": {"number": 7}, "security": [],
                "phyModes": [6], )" + ie, "Given", wifi::Channel{7, 0, 0}, {}, wifi::PhyMode::AX},
            {R"("capability": 17)", std::nullopt, std::nullopt, {Security::Wep}, std::nullopt},
            {ie, std::nullopt, std::nullopt, {}, std::nullopt}};  // elements alone are not radio-level
    for (const auto& [fields, ssid, channel, security, highest] : cases) {
        const wifi::Network network = scanned(scanning("{" + fields + "}")).at(0);
        EXPECT_EQ(std::tie(network.ssid, network.channel, network.security, network.highestPhyMode),
                  std::tie(ssid, channel, security, highest)) << fields;
    }
    // A probe answer is reported under the name, not the element's.
    EXPECT_EQ(scanned(scanning(R"({"capability": 1, "answersProbeFor": "Home", )" + ie + "}"), "Home").at(0).ssid,
              "Home");
}

util::Diagnostics quiet;

struct TempFolder {
    std::string path = (fs::temp_directory_path() / "record-test-XXXXXX").string();
    TempFolder() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
    ~TempFolder() { fs::remove_all(path); }
    fs::path operator/(const char* name) const { return fs::path(path) / name; }
};

// Everything a run can ask, in the order a run asks it.
struct Answers {
    std::optional<wifi::Interface> defaultInterface;
    std::optional<std::vector<wifi::Interface>> interfaces;
    std::optional<std::vector<wifi::Network>> scan;
    std::optional<wifi::Permission> permission;
    friend bool operator==(const Answers&, const Answers&) = default;
};

Answers ask(wifi::Backend& backend, const std::optional<std::string>& name) {
    Answers answers;
    answers.scan = backend.scan(name);
    answers.defaultInterface = backend.defaultInterface();
    answers.interfaces = backend.interfaces();
    answers.permission = backend.permission();
    return answers;
}

Answers replay(const fs::path& file, const std::optional<std::string>& name) {
    auto replayed = loadSceneBackend(file);
    EXPECT_TRUE(replayed.backend) << replayed.error;
    return replayed.backend ? ask(*replayed.backend, name) : Answers{};
}

constexpr const char* kHome = R"({"defaultInterface": 1, "interfaces": [
  {"name": "p2p-dev-wlan0"},
  {"name": "wlan0", "ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "scan": {"networks": [
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "ie": "AARIb21l",
     "channel": {"number": 36, "band": 2, "width": 3}, "security": [4, 11, 6], "phyModes": [1, 4, 5]},
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:01", "rssi": -71, "ie": "", "channel": {}, "security": [0, 15]},
    {"bssid": "aa:bb:cc:dd:ee:02", "rssi": -80, "frequency": 2437, "capability": 17, "answersProbeFor": "Lab"},
    {"ssid": "Caf\u00e9 \u0000", "channel": {"number": 999, "band": 9, "width": -1}, "phyModes": [0, 7]}]}}]})";

// A private file that replays with exactly the recorded run's answers.
TEST(Record, ReplaysAsTheRecordedRunAndTheRecorderForwardsUnchanged) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {kHome, std::nullopt},
        {kHome, "Home"},
        {kHome, "Lab"},
        {kHome, "Nowhere"},
        {R"({"location": {"authorizationStatus": 1}, "defaultInterface": 0, "interfaces": [
            {"name": "wlan0", "scan": {"fails": true, "networks": [{"ssid": "x"}]}}]})",
         std::nullopt},
        {R"({"location": {"delivers": false}, "interfaces": [{"name": "wlan0", "rssi": -3}]})", std::nullopt},
        {"{}", std::nullopt}};
    for (const auto& [scene, name] : cases) {
        const TempFolder folder;
        const Answers recorded = ask(
            *makeRecordingBackend(std::make_unique<SceneBackend>(mustRead(scene)), folder / "scene.json", quiet), name);
        SceneBackend untouched(mustRead(scene));
        EXPECT_EQ(recorded, ask(untouched, name)) << scene << name.value_or("");
        EXPECT_EQ(replay(folder / "scene.json", name), recorded) << scene << name.value_or("");
        EXPECT_EQ(fs::status(folder / "scene.json").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
}

// Never over what is not a regular file (as root, /dev/full would be
// replaced), and a record that cannot be written keeps the earlier file.
TEST(Record, WriteThatCannotBeMadeLeavesTheFolderAsItWas) {
    const TempFolder folder;
    std::ofstream(folder / "scene.json") << "earlier";
    Scene notUtf8 = mustRead(R"({"defaultInterface": 0, "interfaces": [{"name": "wlan"}]})");
    (*notUtf8.interfaces)[0].interface.name = "wlan\xff";  // a scene file is UTF-8 and cannot hold this name
    makeRecordingBackend(std::make_unique<SceneBackend>(notUtf8), folder / "scene.json", quiet).reset();
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    for (const char* target : {"fifo", "folder"})
        makeRecordingBackend(std::make_unique<SceneBackend>(mustRead(kHome)), folder / target, quiet).reset();
    std::ostringstream text;
    text << std::ifstream(folder / "scene.json").rdbuf();
    EXPECT_EQ(text.str(), "earlier");
    EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 3);
}

}  // namespace
}  // namespace netmoth::scene
