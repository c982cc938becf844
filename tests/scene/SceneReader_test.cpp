// Reading scene files: every refusal is one line naming its JSON path (and the
// file); the file's codes become values at this boundary, unknown codes none.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "SceneText.h"
#include "scene/SceneFile.h"

namespace netmoth::scene {
namespace {

using testing::mustRead;
using testing::scanning;
using wifi::PhyMode;
using wifi::Security;

// The fourth network of the default interface's scan.
std::string fourth(const std::string& body) { return scanning("{}, {}, {}, " + body); }
const std::string kNet = "interfaces[0].scan.networks[3]";

TEST(SceneErrors, NameThePathAndTheProblem) {
    const std::pair<std::string, std::string> cases[] = {
        {fourth(R"({"rssi": "x"})"), kNet + ".rssi: expected an integer, got a string"},
        {fourth(R"({"rssi": 9223372036854775808})"),
         kNet + ".rssi: 9223372036854775808 is out of range -9223372036854775808..9223372036854775807"},
        {fourth(R"("Home")"), kNet + ": expected an object, got a string"},
        {fourth(R"({"answersProbeFor": true})"), kNet + ".answersProbeFor: expected a string, got a boolean"},
        {fourth(R"({"ie": "AAA"})"), kNet + ".ie: not valid Base64 (standard alphabet, \"=\" padding, no line breaks)"},
        {fourth(R"({"channel": {"band": "5"}})"), kNet + ".channel.band: expected an integer, got a string"},
        {fourth(R"({"security": 4})"), kNet + ".security: expected an array, got a number"},
        {fourth(R"({"security": [4, null]})"), kNet + ".security[1]: expected an integer, got null"},
        {fourth(R"({"phyModes": [1.0]})"), kNet + ".phyModes[0]: expected an integer, got 1.0"},
        {fourth(R"({"capability": -1, "rssi": []})"), kNet + ".rssi: expected an integer, got an array"},
        {fourth(R"({"capability": -1})"), kNet + ".capability: -1 is out of range 0..65535"},
        {fourth(R"({"frequency": 4294967296})"), kNet + ".frequency: 4294967296 is out of range 0..4294967295"},
        {"[]", "top level: expected an object, got an array"},
        {R"({"location": {"authorizationStatus": 2147483648}})",
         "location.authorizationStatus: 2147483648 is out of range -2147483648..2147483647"},
        {R"({"location": {"delivers": "no"}})", "location.delivers: expected a boolean, got a string"},
        {R"({"interfaces": [{}], "defaultInterface": 1})",
         "defaultInterface: index 1 is out of range: the scene has 1 interface(s)"},
        {R"({"interfaces": null, "defaultInterface": 0})",
         "defaultInterface: index 0 is out of range: the scene has 0 interface(s)"},
        {R"({"interfaces": [)", "invalid JSON at byte 17: parse error at line 1, column 17: syntax error while parsing "
                                "value - unexpected end of input; expected '[', '{', or a literal"},
        {std::string("{}\0{", 4), "invalid JSON at byte 3: a NUL byte"},
        {"{\"ssid\": \"\xff\"}", "invalid JSON at byte 11: parse error at line 1, column 11: syntax error while "
                                 "parsing value - invalid string: ill-formed UTF-8 byte; last read: '\"\xff'"}};
    for (const auto& [json, error] : cases) {
        const SceneReading reading = readScene(json);
        EXPECT_FALSE(reading.scene) << json;
        EXPECT_EQ(reading.error, error);
    }
}

TEST(SceneFile, ErrorsStartWithThePathAndTheSizeCapRefusesOneByteMore) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("scene-test-" + std::to_string(::getpid()) + ".json")).string();
    EXPECT_EQ(readSceneFile(path).error, path + ": cannot open: No such file or directory");
    std::ofstream(path, std::ios::binary) << R"({"interfaces": [{"rssi": true}]})";
    EXPECT_EQ(readSceneFile(path).error, path + ": interfaces[0].rssi: expected an integer, got a boolean");
    const std::string directory = std::filesystem::temp_directory_path();
    EXPECT_EQ(readSceneFile(directory).error, directory + ": cannot read: Is a directory");
    EXPECT_EQ(readSceneFile("a\nb").error, "a\\x0Ab: cannot open: No such file or directory");
    std::ofstream(path, std::ios::binary) << "{}";
    EXPECT_EQ(readFileCapped(path, 2).text, "{}");
    EXPECT_TRUE(readFileCapped(path, 1).error.starts_with("larger than the 1 bytes"));
    EXPECT_TRUE(readFileCapped("/dev/zero", 1 << 20).error.starts_with("larger than"));  // no size known up front
    std::filesystem::remove(path);
    const SceneReading sample = readSceneFile(NETMOTH_SAMPLE_SCENE);
    EXPECT_TRUE(sample.scene) << sample.error;
}

// The codes the end-to-end home scene leaves out, and unknown ones.
TEST(PlatformCodes, BecomeValuesAndUnknownCodesNameNothing) {
    const struct {
        std::string fields;
        wifi::SecuritySet security;
        std::optional<PhyMode> highest;
        std::optional<wifi::Channel> channel;
    } cases[] = {
        {R"("security": [1, 6, 7, 8, 9])",
         {Security::Wep, Security::DynamicWep, Security::WpaEnterprise, Security::WpaWpa2Enterprise,
          Security::Wpa2Enterprise},
         std::nullopt, std::nullopt},
        {R"("security": [5, 10, 13, -1, 9223372036854775807])", {}, std::nullopt, std::nullopt},
        {R"("phyModes": [7, 6, 2])", {}, PhyMode::AX, std::nullopt},
        {R"("phyModes": [0])", {}, PhyMode::None, std::nullopt},
        {R"("phyModes": [7, 8, -1])", {}, std::nullopt, std::nullopt},
        {R"("channel": {"number": -7, "band": 4, "width": 5})", {}, std::nullopt, wifi::Channel{-7, 0, 0}},
        {R"("channel": {"band": -1, "width": 0})", {}, std::nullopt, wifi::Channel{0, 0, 0}},
    };
    for (const auto& expected : cases) {
        const Scene scene = mustRead(scanning("{" + expected.fields + "}"));
        const wifi::Network& network = (*scene.interfaces)[0].scan.networks.at(0).network;
        EXPECT_EQ(network.security, expected.security) << expected.fields;
        EXPECT_EQ(network.highestPhyMode, expected.highest) << expected.fields;
        EXPECT_EQ(network.channel, expected.channel) << expected.fields;
    }
}

TEST(PlatformCodes, AuthorizationStatusBecomesThePermissionUnlessNeverDelivered) {
    const std::pair<std::string, std::optional<wifi::Permission>> cases[] = {
        {"{}", wifi::Permission::Authorized},
        {R"({"location": {"authorizationStatus": 2}})", wifi::Permission::Denied},  // no "delivers": it delivers
        {R"({"location": {"authorizationStatus": 1, "delivers": true}})", wifi::Permission::Denied},
        {R"({"location": {"authorizationStatus": 4}})", wifi::Permission::NotDetermined},
        {R"({"location": {"authorizationStatus": 3, "delivers": false}})", std::nullopt},
    };
    for (const auto& [json, permission] : cases) EXPECT_EQ(mustRead(json).permission, permission) << json;
}

}  // namespace
}  // namespace netmoth::scene
