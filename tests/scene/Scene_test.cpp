// Scene files read into values (every refusal one line, the file's codes
// translated at this boundary, unknown codes naming nothing), what the scene
// backend answers, and runs recorded through the recording backend, which
// replay with exactly the answers they had; a record that cannot be written
// leaves no trace.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "scene/RecordingBackend.h"
#include "scene/SceneBackend.h"
#include "scene/SceneFile.h"
#include "scene/SceneReader.h"
#include "scene/SceneWriter.h"
#include "support/Files.h"

using nlohmann::json;

template <typename T>
struct nlohmann::adl_serializer<std::optional<T>> {
    static void to_json(json& j, const std::optional<T>& value) { j = value ? json(*value) : json(); }
};

// Values as the rows of scene-cases.json write them: absent is null, names for the enums.
namespace netmoth::wifi {
void to_json(json& j, const Channel& c) { j = {c.number, c.widthMHz, c.bandMHz}; }
void to_json(json& j, const Interface& i) {
    j = {{"name", i.name}, {"ssid", i.ssid}, {"bssid", i.bssid}, {"rssi", i.rssi}};
}
void to_json(json& j, const PhyMode& mode) { j = std::array{"None", "A", "B", "G", "N", "AC", "AX"}.at(int(mode)); }
void to_json(json& j, const Permission& p) { j = std::array{"NotDetermined", "Denied", "Authorized"}.at(int(p)); }
void to_json(json& j, const Network& n) {
    const char* const names[] = {
        "None",         "Wep",           "WpaPersonal",       "WpaWpa2Personal", "Wpa2Personal",
        "Wpa3Personal", "WpaEnterprise", "WpaWpa2Enterprise", "Wpa2Enterprise",  "Wpa3Enterprise",
        "DynamicWep"};
    json security = json::array();
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (n.security.contains(Security(i))) security.push_back(names[i]);
    j = {{"bssid", n.bssid},     {"ssid", n.ssid},       {"rssi", n.rssi},         {"elements", n.elements},
         {"channel", n.channel}, {"security", security}, {"phy", n.highestPhyMode}};
}
}  // namespace netmoth::wifi

namespace netmoth::scene {
namespace {

namespace fs = std::filesystem;

// A row's scene: its "networks" scanned by the one default interface, or its
// "scene" as text or as a JSON value.
std::string sceneOf(const json& row) {
    if (row.contains("networks"))
        return R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": )" + row["networks"].dump() + "}}]}";
    return row["scene"].is_string() ? row["scene"].get<std::string>() : row["scene"].dump();
}

// Everything a run can ask, in the order a run asks it.
json ask(wifi::Backend& backend, const std::optional<std::string>& name) {
    json answers = {{"found", backend.scan(name)}};
    answers["default"] = backend.defaultInterface();
    answers["interfaces"] = backend.interfaces();
    answers["permission"] = backend.permission();
    return answers;
}

// The actual value cut down to what the expected one names: an object's named
// members, each element of an array as long.
json named(const json& actual, const json& expected) {
    json cut = actual;
    if (actual.is_object() && expected.is_object()) {
        cut = json::object();
        for (const auto& [key, value] : expected.items()) cut[key] = named(actual.value(key, json()), value);
    } else if (actual.is_array() && expected.is_array() && actual.size() == expected.size()) {
        for (std::size_t i = 0; i < actual.size(); ++i) cut[i] = named(actual[i], expected[i]);
    }
    return cut;
}

util::Diagnostics quiet;

// Each row: its scene is refused ("error": true, or the very line), or it
// reads and answers as the row says ("found": the scan without a name,
// "foundFor": by name), and the same through the recorder, which leaves a
// private file that replays with those answers.
TEST(Scene, EachCaseOfTheTableAnswersAndReplaysAsRecorded) {
    for (const json& row : json::parse(std::ifstream(NETMOTH_SCENE_CASES))) {
        const std::string text = sceneOf(row);
        const SceneReading reading = readScene(text);
        json expected = row, answers = {{"error", false}};
        for (const char* input : {"scene", "networks", "note"}) expected.erase(input);
        expected["error"] = row.value("error", json(false));
        std::vector<std::optional<std::string>> names{std::nullopt};
        for (const json byName = row.value("foundFor", json::object()); const auto& [name, found] : byName.items())
            names.push_back(name);
        if (!reading.scene) {
            const bool oneLine = !reading.error.empty() && reading.error.find('\n') == std::string::npos;
            answers["error"] = expected["error"].is_string() ? json(reading.error) : json(oneLine);
            names.clear();  // nothing to ask
        }
        const auto backend = [&] { return std::make_unique<SceneBackend>(*reading.scene); };
        for (const auto& name : names) {
            const testing::TempFolder folder;
            const json recorded = ask(*makeRecordingBackend(backend(), folder / "scene.json", quiet), name);
            EXPECT_EQ(ask(*backend(), name), recorded) << text << name.value_or("");
            auto replayed = loadSceneBackend(folder / "scene.json");
            ASSERT_TRUE(replayed.backend) << replayed.error;
            EXPECT_EQ(ask(*replayed.backend, name), recorded) << text << name.value_or("");
            EXPECT_EQ(fs::status(folder / "scene.json").permissions(), fs::perms::owner_read | fs::perms::owner_write);
            if (name) answers["foundFor"][*name] = recorded["found"];
            if (!name) answers.update(recorded);
        }
        EXPECT_EQ(named(answers, expected), expected) << text;
    }
}

// Never over what is not a regular file (as root, /dev/full would be
// replaced), and a record that cannot be written keeps the earlier file.
TEST(Record, WriteThatCannotBeMadeLeavesTheFolderAsItWas) {
    const testing::TempFolder folder;
    testing::writeFile(folder / "scene.json", "earlier");
    Scene notUtf8;  // a scene file is UTF-8 and cannot hold the name
    notUtf8.interfaces->emplace_back().interface.name = "wlan\xff";
    makeRecordingBackend(std::make_unique<SceneBackend>(notUtf8), folder / "scene.json", quiet).reset();
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    for (const char* target : {"fifo", "folder"})
        makeRecordingBackend(std::make_unique<SceneBackend>(Scene{}), folder / target, quiet).reset();
    EXPECT_EQ(testing::readFile(folder / "scene.json"), "earlier");
    EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
}

// A channel wider than the widest width code (320 MHz) is written as 160 MHz,
// the width the answer shows for it, not as an unknown width.
TEST(Record, AWidthPastTheWidestCodeIsWrittenAsTheWidest) {
    Scene wide;
    wide.interfaces->emplace_back().scan.networks.emplace_back().network.channel = wifi::Channel{31, 320, 6000};
    const SceneReading read = readScene(writeScene(wide).value());
    ASSERT_TRUE(read.scene) << read.error;
    EXPECT_EQ(read.scene->interfaces->at(0).scan.networks.at(0).network.channel, (wifi::Channel{31, 160, 6000}));
}

TEST(SceneFile, TheSizeCapRefusesOneByteMoreAndEndlessFilesAndTextMustBeUtf8) {
    const testing::TempFolder folder;
    const fs::path path = folder / "scene.json";
    testing::writeFile(path, "{}");
    EXPECT_EQ(readFileCapped(path, 2).text, "{}");
    const std::string tooLarge = readFileCapped(path, 1).error;
    EXPECT_FALSE(tooLarge.empty());
    fs::resize_file(path, std::uintmax_t{1} << 40);  // sparse: refused by its size, before any buffer is made
    EXPECT_EQ(readFileCapped(path, 1).error, tooLarge);
    EXPECT_FALSE(readFileCapped("/dev/zero", 1 << 20).error.empty());  // no size known up front
    const SceneReading sample = readSceneFile(NETMOTH_SAMPLE_SCENE);
    EXPECT_TRUE(sample.scene) << sample.error;
    EXPECT_FALSE(readScene("{\"ssid\": \"\xff\"}").scene);
}

}  // namespace
}  // namespace netmoth::scene
