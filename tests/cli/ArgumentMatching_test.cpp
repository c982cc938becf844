// Arguments are compared and counted in whole user-perceived characters, equal
// when canonically equivalent.
#include "cli/ArgumentMatching.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace netmoth::cli {
namespace {

// Spelled out so the tests show which code points are involved.
const std::string kAcute = "\u0301";       // combining acute accent, class 230
const std::string kDotBelow = "\u0323";    // combining dot below, class 220
const std::string kCircumflex = "\u0302";  // combining circumflex, class 230
const std::string kEAcute = "\u00E9";      // precomposed e with acute
const std::string kMan = "\U0001F468";
const std::string kGirl = "\U0001F467";
const std::string kFamily = kMan + "\u200D\U0001F469\u200D" + kGirl;
const std::string kFlagFr = "\U0001F1EB\U0001F1F7";
const std::string kFlagDe = "\U0001F1E9\U0001F1EA";

struct AffixCase {
    const char* name;
    std::string text;
    std::string affix;
    bool isPrefix;
    bool isSuffix;
};

void PrintTo(const AffixCase& affixCase, std::ostream* out) { *out << affixCase.name; }

class Affix : public testing::TestWithParam<AffixCase> {};

TEST_P(Affix, MatchesWholeCharactersUpToCanonicalEquivalence) {
    EXPECT_EQ(hasPrefix(GetParam().text, GetParam().affix), GetParam().isPrefix);
    EXPECT_EQ(hasSuffix(GetParam().text, GetParam().affix), GetParam().isSuffix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Affix,
    testing::Values(
        AffixCase{"EmptyAffix", "abc", "", true, true},
        AffixCase{"Equal", "abc", "abc", true, true},
        AffixCase{"AffixLonger", "bc", "abc", false, false}, AffixCase{"Tail", "abc", "bc", false, true},
        AffixCase{"MarkJoinsTheLastAffixCharacter", "--ssid=" + kAcute + "=", "--ssid=", false, false},
        AffixCase{"MarkOnTheLetterAfterIsFine", "--ssid=e" + kAcute, "--ssid=", true, false},
        AffixCase{"QuoteCarryingMarkIsNotAQuote", "\"" + kAcute, "\"", false, false},
        AffixCase{"PrecomposedMatchesDecomposed", "e" + kAcute, kEAcute, true, true},
        AffixCase{"BareLetterIsNotAccented", kEAcute, "e", false, false},
        AffixCase{"MarksOfDifferentClassReorder", "a" + kAcute + kDotBelow, "a" + kDotBelow + kAcute, true, true},
        AffixCase{"MarksOfSameClassKeepOrder", "a" + kAcute + kCircumflex, "a" + kCircumflex + kAcute, false, false},
        AffixCase{"HangulSyllableMatchesJamo", "\uAC00", "\u1100\u1161", true, true},
        AffixCase{"CrOfCrLfIsNotACharacter", "\r\n", "\r", false, false},
        AffixCase{"CrLfMatchesCrLf", "\r\nx\r\n", "\r\n", true, true},
        AffixCase{"FirstMemberOfZwjSequence", kFamily, kMan, false, false},
        AffixCase{"ZwjSequenceMatchesItself", kFamily + "x" + kFamily, kFamily, true, true},
        AffixCase{"SecondFlag", kFlagFr + kFlagDe, kFlagDe, false, true},
        AffixCase{"FlagsPairFromTheStart", kFlagFr + "\U0001F1E9", "\U0001F1F7\U0001F1E9", false, false},
        AffixCase{"LoneMarkMakesNoSwitch", kAcute + "--ssid=", "--ssid=", false, true},
        AffixCase{"ReplacementAndUnassigned", "\uFFFD\U0010FFFF\U000E0080z", "\uFFFD\U0010FFFF", true, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(HugeArgument, MegabyteInputsStayCorrect) {
    const std::string value(1 << 20, 'v');
    EXPECT_TRUE(hasPrefix("--ssid=" + value, "--ssid=v"));
    EXPECT_TRUE(hasSuffix(value + kFamily, "v" + kFamily));
    std::string oneCharacter = "a";
    for (int mark = 0; mark < 100000; ++mark) oneCharacter += mark % 2 ? kAcute : kDotBelow;
    EXPECT_FALSE(hasPrefix(oneCharacter, "a"));
    EXPECT_TRUE(hasPrefix(oneCharacter, oneCharacter));
}

struct ParseCase {
    std::string argument;
    std::string prefix;
    std::string expected;
};

void PrintTo(const ParseCase& parse, std::ostream* out) {
    *out << '[' << parse.argument << "] after [" << parse.prefix << ']';
}

class ParseArgument : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseArgument, DropsPrefixLengthThenUnwrapsLoneQuotes) {
    EXPECT_EQ(parseArgument(GetParam().argument, GetParam().prefix), GetParam().expected);
}

ParseCase ssid(const std::string& value, const std::string& expected) {
    return {"--ssid=" + value, "--ssid=", expected};
}

INSTANTIATE_TEST_SUITE_P(AfterSsidPrefix, ParseArgument,
                         testing::Values(ssid("\"abc\"", "abc"), ssid("", ""), ssid("\"", ""), ssid("\"abc", "\"abc"),
                                         ssid("abc\"", "abc\""), ssid("\"\"abc\"\"", "\"abc\""),
                                         ssid(" \"abc\"", " \"abc\""), ssid("\"\u0301abc\"", "\"\u0301abc\""),
                                         ssid("\"abc\"\u0301", "\"abc\"\u0301"), ssid("\"cafe\u0301\"", "cafe\u0301")));

INSTANTIATE_TEST_SUITE_P(PrefixCountedNotCompared, ParseArgument,
                         testing::Values(ParseCase{"--ss", "--ssid=", ""}, ParseCase{"0123456789", "abcdef", "6789"},
                                         ParseCase{"abcdef", "x\u00E9y", "def"}, ParseCase{"e\u0301bcd", "xyz", "d"},
                                         ParseCase{"\r\n\"v\"", "x", "v"},
                                         ParseCase{"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EAz", "xy", "z"}));

}  // namespace
}  // namespace netmoth::cli
