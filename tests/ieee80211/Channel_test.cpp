#include "ElementBuilders.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;

TEST(ChannelNumbering, NumbersAndBandsEachRangeEdge) {
    const struct {
        std::uint32_t frequency;
        std::int64_t number, band;
    } kRangeEdges[] = {
        {2412, 1, band::k2GHz},    {2472, 13, band::k2GHz},   {2484, 14, band::k2GHz}, {2411, 0, band::kUnknown},
        {2477, 0, band::kUnknown}, {4910, 182, band::k5GHz},  {5000, 0, band::k5GHz},  {5180, 36, band::k5GHz},
        {5895, 179, band::k5GHz},  {5900, 0, band::kUnknown}, {5935, 2, band::k6GHz},  {5955, 1, band::k6GHz},
        {7115, 233, band::k6GHz},  {7120, 0, band::kUnknown},
    };
    for (const auto& edge : kRangeEdges) {
        const auto channel = channelFor(edge.frequency, {});
        EXPECT_EQ(std::tuple(channel.channelNumber, channel.channelWidth, channel.channelBand),
                  std::tuple(edge.number, width::k20MHz, edge.band))
            << edge.frequency;
    }
}

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
    {"He6GHz20", 5955, heOperation(kSixGHzInfoPresent, sixGHzInfo(0)), width::k20MHz},
    {"He6GHz40", 5955, heOperation(kSixGHzInfoPresent, sixGHzInfo(1)), width::k40MHz},
    {"He6GHz160", 5955, heOperation(kSixGHzInfoPresent, sixGHzInfo(3)), width::k160MHz},
    {"HeSixGHzAfterVhtInfoAndCoHosted", 5955,
     heOperation(kVhtInfoPresent | kCoHosted | kSixGHzInfoPresent, join({{0, 0, 0}, {3}, sixGHzInfo(2)})),
     width::k80MHz},
    {"HeVhtInfo", 5180, heOperation(kVhtInfoPresent, {1, 42, 0}), width::k80MHz},
    {"HeSixGHzInfoCutShort", 5955, heOperation(kSixGHzInfoPresent, {37, 3, 39, 0}), width::k20MHz},
    {"Eht320ReadsAs160", 5955, ehtOperation(4), width::k160MHz},
    {"Eht80", 5955, ehtOperation(2), width::k80MHz},
    {"EhtWithoutInformation", 5955, ehtOperation(-1), width::k20MHz},
    {"EhtReservedWidth", 5955, ehtOperation(5), width::k20MHz},
};

INSTANTIATE_TEST_SUITE_P(Rules, ChannelWidthTest, testing::ValuesIn(kWidthCases), kCaseName);

}  // namespace
}  // namespace netmoth::ieee80211
