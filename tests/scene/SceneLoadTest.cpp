// Loading a scene: every refusal is one line naming its JSON path, prefixed by
// the file's path when read from a file; the size cap holds; the sample loads.
#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "SceneTestSupport.h"
#include "platform/scene/SceneFile.h"

namespace netmoth::scene {
namespace {

struct ErrorCase {
    std::string json;
    std::string error;
};

void PrintTo(const ErrorCase& errorCase, std::ostream* out) { *out << errorCase.json; }

class SceneErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SceneErrors, NamesThePathAndTheProblem) {
    const SceneLoadResult result = parseScene(GetParam().json);
    EXPECT_FALSE(result.scene);
    EXPECT_EQ(result.error, GetParam().error);
}

// Wraps one network into the first interface's scan, as the fourth network.
std::string network(const std::string& body) {
    return R"({"interfaces": [{"scan": {"networks": [{}, {}, {}, )" + body + "]}}]}";
}

const std::string kNet = "interfaces[0].scan.networks[3]";
const std::vector<ErrorCase> kCases = {
    {network(R"({"rssi": "x"})"), kNet + ".rssi: expected an integer, got a string"},
    {network(R"({"rssi": 9223372036854775808})"),
     kNet + ".rssi: 9223372036854775808 is out of range -9223372036854775808..9223372036854775807"},
    {network(R"("Home")"), kNet + ": expected an object, got a string"},
    {network(R"({"answersProbeFor": true})"), kNet + ".answersProbeFor: expected a string, got a boolean"},
    {network(R"({"ie": "AAA"})"), kNet + ".ie: not valid Base64 (standard alphabet, \"=\" padding, no line breaks)"},
    {network(R"({"channel": {"band": "5"}})"), kNet + ".channel.band: expected an integer, got a string"},
    {network(R"({"security": 4})"), kNet + ".security: expected an array, got a number"},
    {network(R"({"security": [4, null]})"), kNet + ".security[1]: expected an integer, got null"},
    {network(R"({"phyModes": [1.0]})"), kNet + ".phyModes[0]: expected an integer, got 1.0"},
    {network(R"({"capability": -1})"), kNet + ".capability: -1 is out of range 0..65535"},
    {network(R"({"frequency": 4294967296})"), kNet + ".frequency: 4294967296 is out of range 0..4294967295"},
    {R"([])", "top level: expected an object, got an array"},
    {R"({"location": {"authorizationStatus": 2147483648}})",
     "location.authorizationStatus: 2147483648 is out of range -2147483648..2147483647"},
    {R"({"location": {"delivers": "no"}})", "location.delivers: expected a boolean, got a string"},
    {R"({"interfaces": [{}], "defaultInterface": 1})",
     "defaultInterface: index 1 is out of range: the scene has 1 interface(s)"},
    {R"({"interfaces": null, "defaultInterface": 0})",
     "defaultInterface: index 0 is out of range: the scene has 0 interface(s)"},
    {R"({"interfaces": [)",
     "invalid JSON at byte 17: parse error at line 1, column 17: syntax error while parsing "
     "value - unexpected end of input; expected '[', '{', or a literal"},
    {"{\"ssid\": \"\xff\"}",
     "invalid JSON at byte 11: parse error at line 1, column 11: syntax error while parsing "
     "value - invalid string: ill-formed UTF-8 byte; last read: '\"\xff'"},
};

INSTANTIATE_TEST_SUITE_P(Scene, SceneErrors, ::testing::ValuesIn(kCases));

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
    EXPECT_EQ(loadSceneFile(path_).error, path_ + ": cannot open: No such file or directory");
    EXPECT_EQ(loadSceneFile(write(R"({"interfaces": [{"rssi": true}]})")).error,
              path_ + ": interfaces[0].rssi: expected an integer, got a boolean");
    const std::string directory = std::filesystem::temp_directory_path();
    EXPECT_EQ(loadSceneFile(directory).error, directory + ": cannot read: Is a directory");
}

TEST_F(SceneFile, SizeCapRefusesOneByteMore) {
    write("{}");
    EXPECT_EQ(readFileCapped(path_, 2).text, "{}");
    EXPECT_THAT(readFileCapped(path_, 1).error, ::testing::StartsWith("larger than the 1 bytes"));
    EXPECT_THAT(readFileCapped("/dev/zero", 1 << 20).error,
                ::testing::StartsWith("larger than"));  // no size known up front
}

TEST(SampleScene, LoadsWithBothInterfacesAndEveryNetwork) {
    const auto result = loadSceneFile(NETMOTH_SAMPLE_SCENE);
    ASSERT_TRUE(result.scene) << result.error;
    EXPECT_EQ(result.scene->client().interfaces()->size(), 2U);
    EXPECT_EQ(testing::scan(*result.scene->client().interface()).size(), 6U);
}

}  // namespace
}  // namespace netmoth::scene
