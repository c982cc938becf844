// Reading scene files: every refusal is one line naming its JSON path (and the
// file); the format's codes become values at this boundary, unknown codes none.
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

struct ErrorCase {
    std::string json;
    std::string error;
};

void PrintTo(const ErrorCase& errorCase, std::ostream* out) { *out << errorCase.json; }

class SceneErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SceneErrors, NameThePathAndTheProblem) {
    const SceneReading reading = readScene(GetParam().json);
    EXPECT_FALSE(reading.scene);
    EXPECT_EQ(reading.error, GetParam().error);
}

// The fourth network of the default interface's scan.
std::string fourth(const std::string& body) { return scanning("{}, {}, {}, " + body); }

const std::string kNet = "interfaces[0].scan.networks[3]";
INSTANTIATE_TEST_SUITE_P(
    Scene, SceneErrors,
    ::testing::Values(
        ErrorCase{fourth(R"({"rssi": "x"})"), kNet + ".rssi: expected an integer, got a string"},
        ErrorCase{fourth(R"({"rssi": 9223372036854775808})"),
                  kNet + ".rssi: 9223372036854775808 is out of range -9223372036854775808..9223372036854775807"},
        ErrorCase{fourth(R"("Home")"), kNet + ": expected an object, got a string"},
        ErrorCase{fourth(R"({"answersProbeFor": true})"), kNet + ".answersProbeFor: expected a string, got a boolean"},
        ErrorCase{fourth(R"({"ie": "AAA"})"),
                  kNet + ".ie: not valid Base64 (standard alphabet, \"=\" padding, no line breaks)"},
        ErrorCase{fourth(R"({"channel": {"band": "5"}})"), kNet + ".channel.band: expected an integer, got a string"},
        ErrorCase{fourth(R"({"security": 4})"), kNet + ".security: expected an array, got a number"},
        ErrorCase{fourth(R"({"security": [4, null]})"), kNet + ".security[1]: expected an integer, got null"},
        ErrorCase{fourth(R"({"phyModes": [1.0]})"), kNet + ".phyModes[0]: expected an integer, got 1.0"},
        ErrorCase{fourth(R"({"capability": -1, "rssi": []})"), kNet + ".rssi: expected an integer, got an array"},
        ErrorCase{fourth(R"({"capability": -1})"), kNet + ".capability: -1 is out of range 0..65535"},
        ErrorCase{fourth(R"({"frequency": 4294967296})"), kNet + ".frequency: 4294967296 is out of range 0..4294967295"},
        ErrorCase{R"([])", "top level: expected an object, got an array"},
        ErrorCase{R"({"location": {"authorizationStatus": 2147483648}})",
                  "location.authorizationStatus: 2147483648 is out of range -2147483648..2147483647"},
        ErrorCase{R"({"location": {"delivers": "no"}})", "location.delivers: expected a boolean, got a string"},
        ErrorCase{R"({"interfaces": [{}], "defaultInterface": 1})",
                  "defaultInterface: index 1 is out of range: the scene has 1 interface(s)"},
        ErrorCase{R"({"interfaces": null, "defaultInterface": 0})",
                  "defaultInterface: index 0 is out of range: the scene has 0 interface(s)"},
        ErrorCase{R"({"interfaces": [)",
                  "invalid JSON at byte 17: parse error at line 1, column 17: syntax error while parsing "
                  "value - unexpected end of input; expected '[', '{', or a literal"},
        ErrorCase{std::string("{}\0{", 4), "invalid JSON at byte 3: a NUL byte"},
        ErrorCase{"{\"ssid\": \"\xff\"}",
                  "invalid JSON at byte 11: parse error at line 1, column 11: syntax error while parsing "
                  "value - invalid string: ill-formed UTF-8 byte; last read: '\"\xff'"}));

class SceneFile : public ::testing::Test {
protected:
    const std::string& write(std::string_view text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }
    ~SceneFile() override { std::filesystem::remove(path_); }

    std::string path_ =
        (std::filesystem::temp_directory_path() / ("scene-test-" + std::to_string(::getpid()) + ".json")).string();
};

TEST_F(SceneFile, ErrorsStartWithThePathThenTheReason) {
    EXPECT_EQ(readSceneFile(path_).error, path_ + ": cannot open: No such file or directory");
    EXPECT_EQ(readSceneFile(write(R"({"interfaces": [{"rssi": true}]})")).error,
              path_ + ": interfaces[0].rssi: expected an integer, got a boolean");
    const std::string directory = std::filesystem::temp_directory_path();
    EXPECT_EQ(readSceneFile(directory).error, directory + ": cannot read: Is a directory");
    EXPECT_EQ(readSceneFile("a\nb").error, "a\\x0Ab: cannot open: No such file or directory");
}

TEST_F(SceneFile, SizeCapRefusesOneByteMore) {
    write("{}");
    EXPECT_EQ(readFileCapped(path_, 2).text, "{}");
    EXPECT_TRUE(readFileCapped(path_, 1).error.starts_with("larger than the 1 bytes"));
    EXPECT_TRUE(readFileCapped("/dev/zero", 1 << 20).error.starts_with("larger than"));  // no size known up front
}

TEST(SampleScene, ReadsWithBothInterfacesAndEveryNetwork) {
    const SceneReading reading = readSceneFile(NETMOTH_SAMPLE_SCENE);
    ASSERT_TRUE(reading.scene) << reading.error;
    ASSERT_EQ(reading.scene->interfaces->size(), 2U);
    EXPECT_EQ((*reading.scene->interfaces)[*reading.scene->defaultInterface].scan.networks.size(), 6U);
}

// Codes as written in a network, and the value each becomes.
struct CodeCase {
    std::string fields;
    wifi::SecuritySet security;
    std::optional<PhyMode> highest;
    std::optional<wifi::Channel> channel;
};

TEST(PlatformCodes, BecomeValuesAndUnknownCodesNameNothing) {
    const std::vector<CodeCase> cases = {
        {R"("security": [0, 1, 2, 3, 4, 11])",
         {Security::None, Security::Wep, Security::WpaPersonal, Security::WpaWpa2Personal, Security::Wpa2Personal,
          Security::Wpa3Personal},
         std::nullopt,
         std::nullopt},
        {R"("security": [12, 9, 8, 7, 6, 6])",
         {Security::WpaEnterprise, Security::WpaWpa2Enterprise, Security::Wpa2Enterprise, Security::Wpa3Enterprise,
          Security::DynamicWep},
         std::nullopt,
         std::nullopt},
        {R"("security": [5, 10, 13, -1, 9223372036854775807])", {}, std::nullopt, std::nullopt},
        {R"("phyModes": [1, 4, 5])", {}, PhyMode::AC, std::nullopt},
        {R"("phyModes": [7, 6, 2])", {}, PhyMode::AX, std::nullopt},
        {R"("phyModes": [0])", {}, PhyMode::None, std::nullopt},
        {R"("phyModes": [7, 8, -1])", {}, std::nullopt, std::nullopt},
        {R"("channel": {"number": 36, "band": 2, "width": 3})", {}, std::nullopt, wifi::Channel{36, 80, 5000}},
        {R"("channel": {"number": 1, "band": 1, "width": 1})", {}, std::nullopt, wifi::Channel{1, 20, 2400}},
        {R"("channel": {"band": 3, "width": 4})", {}, std::nullopt, wifi::Channel{0, 160, 6000}},
        {R"("channel": {"number": -7, "band": 4, "width": 2})", {}, std::nullopt, wifi::Channel{-7, 40, 0}},
        {R"("channel": {"band": -1, "width": 5})", {}, std::nullopt, wifi::Channel{0, 0, 0}},
    };
    for (const CodeCase& expected : cases) {
        const Scene scene = mustRead(scanning("{" + expected.fields + "}"));
        const wifi::Network& network = (*scene.interfaces)[0].scan.networks.at(0).network;
        EXPECT_EQ(network.security, expected.security) << expected.fields;
        EXPECT_EQ(network.highestPhyMode, expected.highest) << expected.fields;
        EXPECT_EQ(network.channel, expected.channel) << expected.fields;
    }
}

TEST(PlatformCodes, AuthorizationStatusBecomesThePermissionUnlessNeverDelivered) {
    const std::vector<std::pair<std::string, std::optional<wifi::Permission>>> cases = {
        {"{}", wifi::Permission::Authorized},
        {R"({"location": {"authorizationStatus": 2}})", wifi::Permission::Denied},
        {R"({"location": {"authorizationStatus": 1, "delivers": true}})", wifi::Permission::Denied},
        {R"({"location": {"authorizationStatus": 3}})", wifi::Permission::Authorized},
        {R"({"location": {"authorizationStatus": 0}})", wifi::Permission::NotDetermined},
        {R"({"location": {"authorizationStatus": 4}})", wifi::Permission::NotDetermined},
        {R"({"location": {"authorizationStatus": -2147483648}})", wifi::Permission::NotDetermined},
        {R"({"location": {"authorizationStatus": 3, "delivers": false}})", std::nullopt},
    };
    for (const auto& [json, permission] : cases) EXPECT_EQ(mustRead(json).permission, permission) << json;
}

}  // namespace
}  // namespace netmoth::scene
