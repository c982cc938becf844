// Every malformed value is refused with one line naming its JSON path.
#include <gmock/gmock.h>

#include "SceneTestSupport.h"

namespace netmoth::scene {
namespace {

using testing::errorOf;

struct ErrorCase {
    std::string json;
    std::string error;
};

void PrintTo(const ErrorCase& errorCase, std::ostream* out) { *out << errorCase.json; }

class SceneErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SceneErrors, NamesThePathAndTheProblem) { EXPECT_EQ(errorOf(GetParam().json), GetParam().error); }

// Wraps one network into the first interface's scan, as the fourth network.
std::string network(const std::string& body) {
    return R"({"interfaces": [{"scan": {"networks": [{}, {}, {}, )" + body + "]}}]}";
}

const std::string kNet = "interfaces[0].scan.networks[3]";
const std::vector<ErrorCase> kCases = {
    {network(R"({"rssi": "x"})"), kNet + ".rssi: expected an integer, got a string"},
    {network(R"({"rssi": -2.5})"), kNet + ".rssi: expected an integer, got -2.5"},
    {network(R"({"rssi": 9223372036854775808})"),
     kNet + ".rssi: 9223372036854775808 is out of range -9223372036854775808..9223372036854775807"},
    {network(R"("Home")"), kNet + ": expected an object, got a string"},
    {network(R"({"answersProbeFor": true})"), kNet + ".answersProbeFor: expected a string, got a boolean"},
    {network(R"({"ie": "AAA"})"), kNet + ".ie: not valid Base64 (standard alphabet, \"=\" padding, no line breaks)"},
    {network(R"({"channel": {"band": "5"}})"), kNet + ".channel.band: expected an integer, got a string"},
    {network(R"({"security": 4})"), kNet + ".security: expected an array, got a number"},
    {network(R"({"security": [4, null]})"), kNet + ".security[1]: expected an integer, got null"},
    {network(R"({"phyModes": [1.0]})"), kNet + ".phyModes[0]: expected an integer, got 1.0"},
    {network(R"({"capability": 65536})"), kNet + ".capability: 65536 is out of range 0..65535"},
    {network(R"({"frequency": 4294967296})"), kNet + ".frequency: 4294967296 is out of range 0..4294967295"},
    {R"([])", "top level: expected an object, got an array"},
    {R"({"location": 3})", "location: expected an object, got a number"},
    {R"({"location": {"authorizationStatus": 2147483648}})",
     "location.authorizationStatus: 2147483648 is out of range -2147483648..2147483647"},
    {R"({"location": {"delivers": "no"}})", "location.delivers: expected a boolean, got a string"},
    {R"({"interfaces": {}})", "interfaces: expected an array, got an object"},
    {R"({"interfaces": [{}, 0]})", "interfaces[1]: expected an object, got a number"},
    {R"({"interfaces": [{"scan": {"networks": {}}}]})",
     "interfaces[0].scan.networks: expected an array, got an object"},
    {R"({"interfaces": [{}], "defaultInterface": 1})",
     "defaultInterface: index 1 is out of range: the scene has 1 interface(s)"},
    {R"({"interfaces": [{}], "defaultInterface": -1})",
     "defaultInterface: index -1 is out of range: the scene has 1 interface(s)"},
    {R"({"interfaces": null, "defaultInterface": 0})",
     "defaultInterface: index 0 is out of range: the scene has 0 interface(s)"},
    {R"({"interfaces": [)", "invalid JSON at byte 17: parse error at line 1, column 17: syntax error while parsing "
                            "value - unexpected end of input; expected '[', '{', or a literal"},
};

INSTANTIATE_TEST_SUITE_P(Scene, SceneErrors, ::testing::ValuesIn(kCases));

TEST(SceneErrors, NonUtf8TextIsAParseError) {
    EXPECT_THAT(errorOf("{\"interfaces\": [{\"ssid\": \"\xff\"}]}"), ::testing::StartsWith("invalid JSON at byte "));
}

}  // namespace
}  // namespace netmoth::scene
