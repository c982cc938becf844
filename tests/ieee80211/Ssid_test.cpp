#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ElementBuilders.h"
#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;

struct SsidCase {
    const char* name;
    Bytes bytes;
    std::optional<std::string> text;
};

class SsidTextTest : public testing::TestWithParam<SsidCase> {};

TEST_P(SsidTextTest, DecodesAsUtf8ThenWindows1252) {
    EXPECT_EQ(ssidText(GetParam().bytes), GetParam().text);
}

const SsidCase kSsidCases[] = {
    {"Empty", {}, std::nullopt},
    {"AllNul", {0, 0, 0}, std::nullopt},
    {"Ascii", {'h', 'o', 'm', 'e'}, "home"},
    {"InnerNulKept", {'a', 0, 'b'}, std::string("a\0b", 3)},
    {"Utf8TwoThreeFourBytes", {'C', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x93, 0xB6}, "C\u00e9\u20ac\U0001F4F6"},
    {"Latin1Letter", {'C', 'a', 'f', 0xE9}, "Caf\u00e9"},
    {"Cp1252Specials", {0x80, 0x8A, 0x99, 0x9A, 0x9F, 0xA0, 0xFF},
     "\u20ac\u0160\u2122\u0161\u0178\u00a0\u00ff"},
    {"OverlongIsNotUtf8", {0xC0, 0xAF}, "\u00c0\u00af"},
    {"SurrogateIsNotUtf8", {0xED, 0xA0, 0x80}, "\u00ed\u00a0\u20ac"},
    {"BeyondUnicodeIsNotUtf8", {0xF4, 0xA0, 0x80, 0x80}, "\u00f4\u00a0\u20ac\u20ac"},
    {"TruncatedSequence", {'a', 0xE2, 0x82}, "a\u00e2\u201a"},
    {"Undefined81", {'a', 0x81}, std::nullopt},
    {"Undefined8D", {0x8D}, std::nullopt},
    {"Undefined8F", {0xE9, 0x8F}, std::nullopt},
    {"Undefined90", {0x90}, std::nullopt},
    {"Undefined9D", {0x9D}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Encodings, SsidTextTest, testing::ValuesIn(kSsidCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(SsidFromElements, DecodesTheFirstSsidElement) {
    EXPECT_EQ(ssidFromElements(join({dsParameterSet(1), ssidElement("one"), ssidElement("two")})), "one");
    EXPECT_EQ(ssidFromElements(dsParameterSet(1)), std::nullopt);
    EXPECT_EQ(ssidFromElements(ssidElement("")), std::nullopt);
    EXPECT_EQ(ssidFromElements(Bytes{element::kSsid, 9, 'c', 'u', 't'}), std::nullopt);
}

TEST(SsidFromElements, AcceptsNamesLongerThanTheStandardAllows) {
    const std::string longName(40, 'n');
    EXPECT_EQ(ssidFromElements(ssidElement(longName)), longName);
}

}  // namespace
}  // namespace netmoth::ieee80211
