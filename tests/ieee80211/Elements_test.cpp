// Walking the element buffer, and the network name its SSID element gives.
#include "ElementBuilders.h"
#include "platform/ieee80211/ElementWalker.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using Ids = std::vector<std::uint8_t>;

Ids idsOf(const Bytes& bytes) {
    Ids ids;
    for (const auto& e : elementsIn(bytes)) ids.push_back(e.id);
    return ids;
}

TEST(ElementWalker, LengthPastTheEndStopsTheWalkButKeepsWhatCameBefore) {
    // The bytes after a bad length are not read as elements of their own.
    EXPECT_EQ(idsOf(join({dsParameterSet(1), {element::kSsid, 5}, dsParameterSet(6)})), Ids{3});
    EXPECT_EQ(idsOf(join({dsParameterSet(1), {element::kSsid}})), Ids{3});
    EXPECT_EQ(idsOf(Bytes{element::kRsn, 255}), Ids{});
}

TEST(ElementWalker, SkipsOnlyEmptyExtensionsAndLengthsOutsideTheKindsBounds) {
    const Bytes longDsParameterSet = rawElement(element::kDsParameterSet, {1, 2});
    EXPECT_EQ(idsOf(join({rawElement(element::kSsid, {}), rawElement(200, {}), rawElement(element::kExtension, {}),
                          htCapabilities(25), longDsParameterSet, erpElement()})),
              (Ids{element::kSsid, 200, element::kErp}));
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
    {"Undefined81", {'a', 0x81}, std::nullopt},
    {"Undefined8D", {0x8D}, std::nullopt},
    {"Undefined8F", {0xE9, 0x8F}, std::nullopt},
    {"Undefined90", {0x90}, std::nullopt},
    {"Undefined9D", {0x9D}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Encodings, SsidTextTest, testing::ValuesIn(kSsidCases), kCaseName);

TEST(SsidFromElements, DecodesTheFirstSsidElementWhateverItsLength) {
    EXPECT_EQ(ssidFromElements(join({dsParameterSet(1), ssidElement("one"), ssidElement("two")})), "one");
    EXPECT_EQ(ssidFromElements(ssidElement(std::string(40, 'n'))), std::string(40, 'n'));  // longer than allowed
    EXPECT_EQ(ssidFromElements(dsParameterSet(1)), std::nullopt);
    EXPECT_EQ(ssidFromElements(ssidElement("")), std::nullopt);
}

}  // namespace
}  // namespace netmoth::ieee80211
