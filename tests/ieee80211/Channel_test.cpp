// Where a BSS sits and which PHY modes it proves, from its frequency and
// elements.
#include "ElementBuilders.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using wifi::PhyMode;

TEST(Channel, NumbersAndBandsEachRangeEdge) {
    const struct {
        std::uint32_t frequency;
        std::int64_t number;
        std::uint32_t band;
    } kRangeEdges[] = {
        {2412, 1, 2400},   {2472, 13, 2400}, {2484, 14, 2400},  {2411, 0, 0},      {2477, 0, 0},
        {4910, 182, 5000}, {5000, 0, 5000},  {5180, 36, 5000},  {5895, 179, 5000}, {5900, 0, 0},
        {5935, 2, 6000},   {5955, 1, 6000},  {7115, 233, 6000}, {7120, 0, 0},
    };
    for (const auto& edge : kRangeEdges) {
        EXPECT_EQ(networkOf(edge.frequency, {}).channel, (wifi::Channel{edge.number, 20, edge.band})) << edge.frequency;
    }
}

TEST(Channel, UnknownBandTakesTheChannelTheBssAnnounces) {
    const Bytes longDsParameterSet = rawElement(kDsParameterSet, {1, 2});
    EXPECT_EQ(networkOf(0, join({htOperation(0, false, 11), dsParameterSet(6), dsParameterSet(7)})).channel->number, 6);
    EXPECT_EQ(
        networkOf(0, join({longDsParameterSet, htOperation(0, false, 11), htOperation(0, false, 9)})).channel->number,
        11);
    EXPECT_EQ(networkOf(2437, dsParameterSet(1)).channel->number, 6);  // the frequency wins when known
}

class ChannelWidthTest : public testing::TestWithParam<RadioCase<std::uint32_t>> {};

TEST_P(ChannelWidthTest, TakesTheWidestAnnouncedWidth) {
    EXPECT_EQ(networkOf(GetParam().frequency, GetParam().elements).channel->widthMHz, GetParam().expected);
}

// VHT information (80 MHz), a co-hosted BSS and 6 GHz information (160 MHz): 15 bytes, the most it holds.
const Bytes kFullHeOperation =
    heOperation(kVhtInfoPresent | kCoHosted | kSixGHzInfoPresent, join({{1, 42, 0}, {3}, sixGHzInfo(3)}));

const RadioCase<std::uint32_t> kWidthCases[] = {
    {"HtAbove", 2437, htOperation(kSecondaryAbove, true), 40},
    {"HtBelow", 5200, htOperation(kSecondaryBelow, true), 40},
    {"HtOffsetWithoutAnyWidth", 2437, htOperation(kSecondaryAbove, false), 20},
    {"HtReservedOffset", 2437, htOperation(2, true), 20},
    {"Vht20Or40AndShortVhtDeferToHt", 5180,
     join({htOperation(kSecondaryAbove, true), vhtOperation(0, 0, 0), rawElement(kVhtOperation, {1, 42, 0, 0xFC})}),
     40},
    {"OperationsOneByteOutsideTheirBoundsAreSkipped", 5955,
     join({resized(htOperation(kSecondaryAbove, true), 21), resized(htOperation(kSecondaryAbove, true), 23),
           resized(kFullHeOperation, 17), resized(ehtOperation(4), 12)}),
     20},
    {"Vht80", 5180, vhtOperation(1, 42, 0), 80},
    {"Vht160BySecondSegment", 5180, vhtOperation(1, 42, 50), 160},
    {"Vht80Plus80", 5180, vhtOperation(1, 42, 155), 160},
    {"VhtOverlappingSegmentsStay80", 5180, vhtOperation(1, 42, 54), 80},
    {"VhtDeprecated160", 5180, vhtOperation(2, 50, 0), 160},
    {"VhtDeprecated80Plus80", 5180, vhtOperation(3, 42, 155), 160},
    {"VhtOn24Ignored", 2437,
     join({htOperation(kSecondaryAbove, true), vhtOperation(1, 42, 0), heOperation(kVhtInfoPresent, {1, 42, 0})}), 40},
    {"He6GHz160", 5955, heOperation(kSixGHzInfoPresent, sixGHzInfo(3)), 160},
    {"HeSixGHzAfterVhtInfoAndCoHosted", 5955,
     heOperation(kVhtInfoPresent | kCoHosted | kSixGHzInfoPresent, join({{0, 0, 0}, {3}, sixGHzInfo(2)})), 80},
    {"HeVhtInfo", 5180, heOperation(kVhtInfoPresent, {1, 42, 0}), 80},
    {"HeSixGHzInfoCutShort", 5955, heOperation(kSixGHzInfoPresent, {37, 3, 39, 0}), 20},
    {"Eht320", 5955, ehtOperation(4), 320},
    {"EhtInformationNotFlagged", 5955, ehtOperation(4, false), 20},
    {"EhtReservedWidth", 5955, ehtOperation(5), 20},
};

INSTANTIATE_TEST_SUITE_P(Rules, ChannelWidthTest, testing::ValuesIn(kWidthCases), kCaseName);

constexpr std::uint8_t kBasic = 0x80;
const Bytes kOfdmRates = {12 | kBasic, 18, 24 | kBasic, 36, 48, 72, 96, 108};
const Bytes kDsss = rawElement(kRates, {2 | kBasic, 4 | kBasic, 11, 22});
const Bytes kOfdm = rawElement(kRates, kOfdmRates);

class PhyModeTest : public testing::TestWithParam<RadioCase<std::optional<PhyMode>>> {};

TEST_P(PhyModeTest, ReportsTheGreatestModeProven) {
    EXPECT_EQ(networkOf(GetParam().frequency, GetParam().elements).highestPhyMode, GetParam().expected);
}

const RadioCase<std::optional<PhyMode>> kPhyCases[] = {
    {"DsssIsB", 2412, join({kDsss, rawElement(kErp, {})}), PhyMode::B},
    {"OfdmInExtendedRatesIsG", 2412, join({kDsss, rawElement(kExtendedRates, kOfdmRates)}), PhyMode::G},
    {"BasicBitMaskedOff", 2412, rawElement(kRates, {12 | kBasic, 108 | kBasic}), PhyMode::G},
    {"ErpWithoutOfdmRates", 2484, join({kDsss, rawElement(kErp, {0})}), PhyMode::G},
    {"VhtOn24IsVendorNotAc", 2437, join({kOfdm, htCapabilities(), vhtCapabilities()}), PhyMode::N},
    {"DsssRatesOn5AreNotB", 5180, kDsss, std::nullopt},
    {"OfdmOn5IsA", 5180, kOfdm, PhyMode::A},
    {"VhtOn5IsAc", 5500, join({kOfdm, htCapabilities(), vhtCapabilities()}), PhyMode::AC},
    {"HeAfterAnEmptyExtension", 5500, join({rawElement(kExtension, {}), heCapabilities(), vhtCapabilities()}),
     PhyMode::AX},
    {"SixGHzIsHeOnly", 5955, join({kOfdm, vhtCapabilities()}), std::nullopt},
    {"MisSizedCapabilitiesAreSkipped", 5180,
     join({htCapabilities(25), heCapabilities(20), heCapabilities(55), resized(vhtCapabilities(), 11)}), std::nullopt},
    {"UnknownBandKeepsOnlyBandFreeModes", 0, join({kOfdm, htCapabilities(), vhtCapabilities()}), PhyMode::N},
};

INSTANTIATE_TEST_SUITE_P(Rules, PhyModeTest, testing::ValuesIn(kPhyCases), kCaseName);

}  // namespace
}  // namespace netmoth::ieee80211
