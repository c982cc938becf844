// Walking the element buffer, the network name its SSID element gives, and
// what a network passes through from the facts unchanged.
#include "ElementBuilders.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;

TEST(Walk, LengthPastTheEndStopsTheWalkButKeepsWhatCameBefore) {
    // The bytes after a bad length are not read as elements of their own.
    EXPECT_EQ(networkOf(2412, join({{kSsid, 5}, ssidElement("x")})).ssid, std::nullopt);
    const auto network = networkOf(2412, join({ssidElement("kept"), {kRsn, 255}, rsnBody({kAkmPsk})}));
    EXPECT_EQ(network.ssid, "kept");
    EXPECT_EQ(network.security, wifi::SecuritySet{wifi::Security::Wep});
}

TEST(Walk, NetworkPassesTheFactsThroughAndNamesItFromTheFirstSsid) {
    RadioFacts facts;
    facts.bssid = "02:00:00:00:00:01";
    facts.signalDbm = -47;
    facts.elements = join({htCapabilities(), ssidElement(std::string(40, 'n')), ssidElement("two")});
    const auto network = networkFrom(facts);
    EXPECT_EQ(std::tie(network.bssid, network.rssi, network.elements),
              std::tie(facts.bssid, facts.signalDbm, facts.elements));
    EXPECT_EQ(network.ssid, std::string(40, 'n'));            // longer than allowed: kept
    EXPECT_FALSE(network.channel || network.highestPhyMode);  // both need the frequency
    facts.ssid = "given";
    EXPECT_EQ(networkFrom(facts).ssid, "given");
    EXPECT_EQ(networkOf(2412, dsParameterSet(1)).ssid, std::nullopt);
}

struct SsidCase {
    const char* name;
    Bytes bytes;
    std::optional<std::string> text;
};

class SsidTextTest : public testing::TestWithParam<SsidCase> {};

TEST_P(SsidTextTest, DecodesAsUtf8ThenWindows1252) { EXPECT_EQ(ssidText(GetParam().bytes), GetParam().text); }

const SsidCase kSsidCases[] = {
    {"Empty", {}, std::nullopt},
    {"AllNul", {0, 0, 0}, std::nullopt},
    {"InnerNulKept", {'a', 0, 'b'}, std::string("a\0b", 3)},
    {"Utf8TwoThreeFourBytes", {'C', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x93, 0xB6}, "C\u00e9\u20ac\U0001F4F6"},
    {"Cp1252Specials", {0x80, 0x8A, 0x99, 0x9A, 0x9F, 0xA0, 0xFF}, "\u20ac\u0160\u2122\u0161\u0178\u00a0\u00ff"},
    {"TruncatedSequence", {'a', 0xE2, 0x82}, "a\u00e2\u201a"},
};

INSTANTIATE_TEST_SUITE_P(Encodings, SsidTextTest, testing::ValuesIn(kSsidCases), kCaseName);

TEST(SsidText, BytesWithoutAWindows1252CharacterGiveNoName) {
    for (const std::uint8_t undefined : Bytes{0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(ssidText(Bytes{0xE9, undefined}), std::nullopt) << int{undefined};
    }
}

}  // namespace
}  // namespace netmoth::ieee80211
