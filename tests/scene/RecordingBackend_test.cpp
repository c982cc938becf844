// A run recorded through the recording backend replays from the scene it
// wrote with exactly the answers it had; a record that cannot be written
// leaves no trace.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SceneText.h"
#include "scene/RecordingBackend.h"
#include "scene/SceneBackend.h"

namespace netmoth::scene {
namespace {

namespace fs = std::filesystem;
using testing::mustRead;

// Recordings whose target can take them say nothing.
util::Diagnostics quiet;

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

// Records a run over real that asks everything, then replays the record.
struct RoundTrip {
    Answers recorded, replayed;
    std::string file;
};

RoundTrip roundTrip(std::unique_ptr<wifi::Backend> real, const std::optional<std::string>& name) {
    const TempFolder folder;
    RoundTrip trip;
    trip.recorded = ask(*makeRecordingBackend(std::move(real), folder / "recorded.json", quiet), name);
    trip.file = readText(folder / "recorded.json");
    auto replay = loadSceneBackend(folder / "recorded.json");
    EXPECT_TRUE(replay.backend) << replay.error;
    if (replay.backend) trip.replayed = ask(*replay.backend, name);
    return trip;
}

constexpr const char* kHome = R"({"defaultInterface": 1, "interfaces": [
  {"name": "p2p-dev-wlan0"},
  {"name": "wlan0", "ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "scan": {"networks": [
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:ff", "rssi": -48, "ie": "AARIb21l",
     "channel": {"number": 36, "band": 2, "width": 3}, "security": [4, 11, 6], "phyModes": [1, 4, 5]},
    {"ssid": "Home", "bssid": "aa:bb:cc:dd:ee:01", "rssi": -71, "ie": "", "channel": {}, "security": [0, 15]},
    {"bssid": "aa:bb:cc:dd:ee:02", "rssi": -80, "frequency": 2437, "capability": 17, "answersProbeFor": "Lab"},
    {"ssid": "Caf\u00e9 \u0000", "channel": {"number": 999, "band": 9, "width": -1}, "phyModes": [0, 7]}]}}]})";

struct SceneCase {
    const char* label;
    const char* scene;
    std::optional<std::string> name;
};

void PrintTo(const SceneCase& c, std::ostream* out) { *out << c.label; }

class Replay : public ::testing::TestWithParam<SceneCase> {};

TEST_P(Replay, AnswersAsTheRecordedRunAndTheRecorderForwardsUnchanged) {
    const RoundTrip trip = roundTrip(std::make_unique<SceneBackend>(mustRead(GetParam().scene)), GetParam().name);
    SceneBackend untouched(mustRead(GetParam().scene));
    EXPECT_EQ(trip.recorded, ask(untouched, GetParam().name));
    EXPECT_EQ(trip.replayed, trip.recorded) << trip.file;
}

INSTANTIATE_TEST_SUITE_P(
    Record, Replay,
    ::testing::Values(SceneCase{"ScanWithoutName", kHome, std::nullopt},
                      SceneCase{"TwoBssesOfOneName", kHome, "Home"},
                      SceneCase{"AHiddenNetworkAnsweringAProbe", kHome, "Lab"},
                      SceneCase{"NothingMatches", kHome, "Nowhere"},
                      SceneCase{"FailingScanAndADeniedPermission",
                                R"({"location": {"authorizationStatus": 1}, "defaultInterface": 0, "interfaces": [
                                   {"name": "wlan0", "scan": {"fails": true, "networks": [{"ssid": "x"}]}}]})",
                                std::nullopt},
                      SceneCase{"NoDefaultInterfaceAndNoPermission",
                                R"({"location": {"delivers": false}, "interfaces": [{"name": "wlan0", "rssi": -3}]})",
                                std::nullopt},
                      SceneCase{"EmptyList", "{}", std::nullopt}),
    [](const auto& test) { return test.param.label; });

// A radio that changes its mind on every question, and answers a scan for a
// name with a network of another name, as a hidden one may.
struct RestlessRadio final : wifi::Backend {
    std::int64_t asked = 0;
    std::optional<wifi::Interface> defaultInterface() override { return wifi::Interface{"wlan0", "Home", {}, --asked}; }
    std::optional<std::vector<wifi::Interface>> interfaces() override {
        return std::vector<wifi::Interface>{{"wlan0", "Home", {}, --asked}};
    }
    std::optional<std::vector<wifi::Network>> scan(const std::optional<std::string>&) override {
        wifi::Network hidden;
        hidden.rssi = --asked;
        return std::vector<wifi::Network>{hidden};
    }
    std::optional<wifi::Permission> permission() override {
        return ++asked % 2 ? wifi::Permission::Denied : wifi::Permission::Authorized;
    }
};

TEST(Record, EachQuestionIsAnsweredAsItWasFirstAndReplayedSo) {
    const TempFolder folder;
    Answers first;
    {
        auto recorder = makeRecordingBackend(std::make_unique<RestlessRadio>(), folder / "scene.json", quiet);
        first = ask(*recorder, "Lab");
        EXPECT_EQ(ask(*recorder, "Lab"), first);
    }
    auto replay = loadSceneBackend(folder / "scene.json");
    ASSERT_TRUE(replay.backend) << replay.error;
    // The network answered the probe, so it is replayed under the name; the
    // default interface's own answer wins over its entry in the list.
    Answers expected = first;
    expected.scan->at(0).ssid = "Lab";
    expected.interfaces->at(0) = *first.defaultInterface;
    EXPECT_EQ(ask(*replay.backend, "Lab"), expected);
}

TEST(Record, FactsTheRunNeverAskedAreAskedAtTheEnd) {
    const TempFolder folder;
    makeRecordingBackend(std::make_unique<SceneBackend>(mustRead(kHome)), folder / "scene.json", quiet).reset();
    const auto replay = loadSceneBackend(folder / "scene.json");
    ASSERT_TRUE(replay.backend) << replay.error;
    EXPECT_EQ(replay.backend->defaultInterface()->name, "wlan0");
    EXPECT_EQ(replay.backend->interfaces()->size(), 2U);
    EXPECT_EQ(replay.backend->scan(std::nullopt), std::vector<wifi::Network>{}) << "no scan, none recorded";
    struct stat info {};
    ASSERT_EQ(::stat((folder / "scene.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
}

TEST(Record, WriteThatCannotBeMadeLeavesTheFolderAsItWas) {
    const TempFolder folder;
    std::ofstream(folder / "scene.json") << "earlier";
    // A scene file is UTF-8 and cannot hold this name.
    const char* notUtf8 = R"({"defaultInterface": 0, "interfaces": [{"name": "wlan\u00ff"}]})";
    Scene scene = mustRead(notUtf8);
    (*scene.interfaces)[0].interface.name = "wlan\xff";
    makeRecordingBackend(std::make_unique<SceneBackend>(std::move(scene)), folder / "scene.json", quiet).reset();
    makeRecordingBackend(std::make_unique<SceneBackend>(Scene{}), fs::path(folder.path) / "missing" / "scene.json",
                         quiet)
        .reset();
    // No radio at all: nothing worth replaying.
    Scene noRadio;
    noRadio.interfaces = std::nullopt;
    makeRecordingBackend(std::make_unique<SceneBackend>(noRadio), folder / "no-radio.json", quiet).reset();
    EXPECT_TRUE(quiet.lines().empty());
    // Never over what is not a regular file: as root, /dev/full would be replaced.
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    for (const char* target : {"fifo", "folder"}) {
        util::Diagnostics diagnostics;
        makeRecordingBackend(std::make_unique<SceneBackend>(mustRead(kHome)), folder / target, diagnostics).reset();
        EXPECT_EQ(diagnostics.lines().size(), 1U) << target;
    }
    EXPECT_EQ(readText(folder / "scene.json"), "earlier");
    EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 3);
}

}  // namespace
}  // namespace netmoth::scene
