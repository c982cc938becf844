#include <gtest/gtest.h>

#include "ElementBuilders.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;

struct NumberingCase {
    std::uint32_t frequency;
    std::int64_t number;
    std::int64_t band;
};

class ChannelNumberingTest : public testing::TestWithParam<NumberingCase> {};

TEST_P(ChannelNumberingTest, NumbersAndBandsEachRangeEdge) {
    const auto channel = channelFor(GetParam().frequency, {});
    EXPECT_EQ(channel.channelNumber, GetParam().number);
    EXPECT_EQ(channel.channelBand, GetParam().band);
    EXPECT_EQ(channel.channelWidth, width::k20MHz);
}

INSTANTIATE_TEST_SUITE_P(
    RangeEdges, ChannelNumberingTest,
    testing::Values(NumberingCase{2412, 1, band::k2GHz}, NumberingCase{2472, 13, band::k2GHz},
                    NumberingCase{2484, 14, band::k2GHz}, NumberingCase{2411, 0, band::kUnknown},
                    NumberingCase{2477, 0, band::kUnknown}, NumberingCase{4910, 182, band::k5GHz},
                    NumberingCase{4990, 198, band::k5GHz}, NumberingCase{5000, 0, band::k5GHz},
                    NumberingCase{5180, 36, band::k5GHz}, NumberingCase{5895, 179, band::k5GHz},
                    NumberingCase{5900, 0, band::kUnknown}, NumberingCase{5935, 2, band::k6GHz},
                    NumberingCase{5955, 1, band::k6GHz}, NumberingCase{7115, 233, band::k6GHz},
                    NumberingCase{7120, 0, band::kUnknown}, NumberingCase{0, 0, band::kUnknown}));

TEST(ChannelNumbering, UnknownBandTakesTheChannelTheBssAnnounces) {
    EXPECT_EQ(channelFor(0, join({htOperation(0, false, 11), dsParameterSet(6)})).channelNumber, 6);
    EXPECT_EQ(channelFor(0, htOperation(0, false, 11)).channelNumber, 11);
    EXPECT_EQ(channelFor(2437, dsParameterSet(1)).channelNumber, 6);  // the frequency wins when known
}

struct WidthCase {
    const char* name;
    std::uint32_t frequency;
    Bytes elements;
    std::int64_t width;
};

class ChannelWidthTest : public testing::TestWithParam<WidthCase> {};

TEST_P(ChannelWidthTest, TakesTheWidestAnnouncedWidth) {
    EXPECT_EQ(channelFor(GetParam().frequency, GetParam().elements).channelWidth, GetParam().width);
}

const WidthCase kWidthCases[] = {
    {"NoOperationElement", 5180, ssidElement("x"), width::k20MHz},
    {"HtAbove", 2437, htOperation(kSecondaryAbove, true), width::k40MHz},
    {"HtBelow", 5200, htOperation(kSecondaryBelow, true), width::k40MHz},
    {"HtOffsetWithoutAnyWidth", 2437, htOperation(kSecondaryAbove, false), width::k20MHz},
    {"HtReservedOffset", 2437, htOperation(2, true), width::k20MHz},
    {"Vht20Or40DefersToHt", 5180, join({htOperation(kSecondaryAbove, true), vhtOperation(0, 0, 0)}), width::k40MHz},
    {"Vht80", 5180, vhtOperation(1, 42, 0), width::k80MHz},
    {"Vht160BySecondSegment", 5180, vhtOperation(1, 42, 50), width::k160MHz},
    {"Vht80Plus80", 5180, vhtOperation(1, 42, 155), width::k160MHz},
    {"VhtOverlappingSegmentsStay80", 5180, vhtOperation(1, 42, 54), width::k80MHz},
    {"VhtDeprecated160", 5180, vhtOperation(2, 50, 0), width::k160MHz},
    {"VhtDeprecated80Plus80", 5180, vhtOperation(3, 42, 155), width::k160MHz},
    {"VhtOn24Ignored", 2437, join({htOperation(kSecondaryAbove, true), vhtOperation(1, 42, 0)}), width::k40MHz},
    {"He6GHz20", 5955, heOperation({.sixGHzWidth = 0}), width::k20MHz},
    {"He6GHz40", 5955, heOperation({.sixGHzWidth = 1}), width::k40MHz},
    {"He6GHz80", 5955, heOperation({.sixGHzWidth = 2}), width::k80MHz},
    {"He6GHz160", 5955, heOperation({.sixGHzWidth = 3}), width::k160MHz},
    {"HeSixGHzAfterVhtInfoAndCoHosted", 5955, heOperation({.vhtInfo = {0, 0, 0}, .coHosted = true, .sixGHzWidth = 2}),
     width::k80MHz},
    {"HeVhtInfo", 5180, heOperation({.vhtInfo = {1, 42, 0}}), width::k80MHz},
    {"HeSixGHzInfoCutShort", 5955, heOperation({.sixGHzWidth = 3, .dropTail = 1}), width::k20MHz},
    {"Eht320ReadsAs160", 5955, ehtOperation(4), width::k160MHz},
    {"Eht80", 5955, ehtOperation(2), width::k80MHz},
    {"EhtWithoutInformation", 5955, ehtOperation(-1), width::k20MHz},
    {"EhtReservedWidth", 5955, ehtOperation(5), width::k20MHz},
    {"WidestWins", 5180, join({vhtOperation(1, 42, 0), htOperation(kSecondaryAbove, true)}), width::k80MHz},
};

INSTANTIATE_TEST_SUITE_P(Rules, ChannelWidthTest, testing::ValuesIn(kWidthCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace netmoth::ieee80211
