// Networks given as the radio reports them: what is left out is derived with
// the element decoder, each value only from the facts it needs, and an
// explicit value always wins.
#include "SceneTestSupport.h"

namespace netmoth::scene {
namespace {

using Values = std::vector<std::int64_t>;

// SSID "Lab"; rates 1, 2 (basic), 5.5, 11, 6, 12 Mb/s; RSN with CCMP and PSK.
const std::string kIe = R"("ie": "AANMYWIBBoKECxYMGDAUAQAAD6wEAQAAD6wEAQAAD6wCAAA=")";

struct RadioCase {
    const char* name;
    std::string fields;
    std::tuple<std::int64_t, std::int64_t, std::int64_t> channel;
    Values security, phyModes;
};

Values supported(bool (platform::WiFiNetwork::*supports)(std::int64_t) const, const platform::WiFiNetwork& network) {
    Values values;
    for (std::int64_t value = -1; value < 64; ++value) {
        if ((network.*supports)(value)) values.push_back(value);
    }
    return values;
}

void PrintTo(const RadioCase& radioCase, std::ostream* out) { *out << radioCase.name; }

class SceneRadioLevel : public ::testing::TestWithParam<RadioCase> {};

TEST_P(SceneRadioLevel, DerivesWhatIsLeftOutButNeverTheSsid) {
    const auto scene = testing::mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [{)" +
                                          GetParam().fields + "}]}}]}");
    const auto networks = testing::scan(*scene->client().interface());
    ASSERT_EQ(networks.size(), 1U);
    EXPECT_EQ(testing::channelOf(*networks[0]), GetParam().channel);
    EXPECT_EQ(supported(&platform::WiFiNetwork::supportsSecurity, *networks[0]), GetParam().security);
    EXPECT_EQ(supported(&platform::WiFiNetwork::supportsPHYMode, *networks[0]), GetParam().phyModes);
    EXPECT_EQ(networks[0]->ssid(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Scene, SceneRadioLevel,
    ::testing::Values(
        // Capability 1041: ESS, privacy, short slot.
        RadioCase{"AllFacts", R"("frequency": 2462, "capability": 1041, )" + kIe, {11, 1, 1}, {4}, {2, 3}},
        RadioCase{
            "ExplicitValuesWin",
            R"("frequency": 2462, "capability": 1041, "channel": {"number": 7}, "security": [], "phyModes": [6], )" +
                kIe,
            {7, 0, 0},
            {},
            {6}},
        RadioCase{"CapabilityOnlyIsPrivacyWithoutRsn", R"("capability": 17)", {-1, -1, -1}, {1}, {}},
        RadioCase{"FrequencyOnlyHasNoPrivacy", R"("frequency": 5180)", {36, 2, 1}, {0}, {}},
        RadioCase{"ElementsAloneAreNotRadioLevel", kIe, {-1, -1, -1}, {}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace netmoth::scene
