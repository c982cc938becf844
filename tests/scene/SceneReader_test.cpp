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

// Each is refused, in one line (the wording is free); one names its JSON path.
TEST(SceneErrors, RefuseWhatDoesNotFit) {
    EXPECT_EQ(readScene(fourth(R"({"rssi": "x"})")).error, kNet + ".rssi: expected an integer, got a string");
    for (const std::string& json :
         {fourth(R"({"rssi": 9223372036854775808})"), fourth(R"("Home")"), fourth(R"({"answersProbeFor": true})"),
          fourth(R"({"ie": "AAA"})"), fourth(R"({"channel": {"band": "5"}})"), fourth(R"({"security": 4})"),
          fourth(R"({"security": [4, null]})"), fourth(R"({"phyModes": [1.0]})"), fourth(R"({"capability": -1})"),
          fourth(R"({"frequency": 4294967296})"), std::string("[]"), std::string(R"({"interfaces": [)"),
          std::string(R"({"location": {"authorizationStatus": 2147483648}})"),
          std::string(R"({"location": {"delivers": "no"}})"),
          std::string(R"({"interfaces": [{}], "defaultInterface": 1})"),
          std::string(R"({"interfaces": null, "defaultInterface": 0})"), std::string("{}\0{", 4),
          std::string("{\"ssid\": \"\xff\"}")}) {
        const SceneReading reading = readScene(json);
        EXPECT_FALSE(reading.scene) << json;
        EXPECT_EQ(reading.error.find('\n'), std::string::npos) << reading.error;
    }
}

TEST(SceneFile, TheSizeCapRefusesOneByteMoreAndEndlessFiles) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("scene-test-" + std::to_string(::getpid()) + ".json")).string();
    std::ofstream(path, std::ios::binary) << "{}";
    EXPECT_EQ(readFileCapped(path, 2).text, "{}");
    EXPECT_FALSE(readFileCapped(path, 1).error.empty());
    EXPECT_FALSE(readFileCapped("/dev/zero", 1 << 20).error.empty());  // no size known up front
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
