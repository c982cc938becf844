#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/arguments/ArgumentMatching.h"

namespace netmoth::app {
namespace {

// Spelled out so the tests show which code points are involved.
const std::string kAcute = "\u0301";        // combining acute accent, class 230
const std::string kDotBelow = "\u0323";     // combining dot below, class 220
const std::string kCircumflex = "\u0302";   // combining circumflex, class 230
const std::string kEAcute = "\u00E9";       // precomposed e with acute
const std::string kFamily = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
const std::string kGirl = "\U0001F467";
const std::string kFlagFr = "\U0001F1EB\U0001F1F7";
const std::string kFlagDe = "\U0001F1E9\U0001F1EA";

struct AffixCase {
  const char* name;
  std::string text;
  std::string affix;
  bool expected;
};

void PrintTo(const AffixCase& affixCase, std::ostream* out) { *out << affixCase.name; }

std::string caseName(const testing::TestParamInfo<AffixCase>& info) { return info.param.name; }

class HasPrefix : public testing::TestWithParam<AffixCase> {};

TEST_P(HasPrefix, MatchesWholeCharactersUpToCanonicalEquivalence) {
  EXPECT_EQ(hasPrefix(GetParam().text, GetParam().affix), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HasPrefix,
    testing::Values(
        AffixCase{"BothEmpty", "", "", true}, AffixCase{"EmptyPrefix", "abc", "", true},
        AffixCase{"EmptyArgument", "", "a", false}, AffixCase{"Equal", "abc", "abc", true},
        AffixCase{"PrefixLonger", "ab", "abc", false},
        AffixCase{"CaseSensitive", "--SSID=x", "--ssid=", false},
        AffixCase{"MarkJoinsLastPrefixCharacter", "--ssid=" + kAcute + "name", "--ssid=", false},
        AffixCase{"MarkOnLetterAfterPrefixIsFine", "--ssid=e" + kAcute, "--ssid=", true},
        AffixCase{"PrecomposedMatchesDecomposed", "cafe" + kAcute + "!", "caf" + kEAcute, true},
        AffixCase{"DecomposedMatchesPrecomposed", "caf" + kEAcute + "!", "cafe" + kAcute, true},
        AffixCase{"BareLetterIsNotAccented", "caf" + kEAcute, "cafe", false},
        AffixCase{"MarksOfDifferentClassReorder", "a" + kAcute + kDotBelow, "a" + kDotBelow + kAcute, true},
        AffixCase{"MarksOfSameClassKeepOrder", "a" + kAcute + kCircumflex, "a" + kCircumflex + kAcute, false},
        AffixCase{"HangulSyllableMatchesJamo", "\uAC00x", "\u1100\u1161", true},
        AffixCase{"CrLfIsOneCharacter", "a\r\nb", "a\r", false},
        AffixCase{"CrLfMatchesCrLf", "a\r\nb", "a\r\n", true},
        AffixCase{"ZwjSequenceIsOneCharacter", kFamily + "x", "\U0001F468", false},
        AffixCase{"ZwjSequenceMatchesItself", kFamily + "x", kFamily, true},
        AffixCase{"FlagIsOnePair", kFlagFr + kFlagDe, "\U0001F1EB", false},
        AffixCase{"FlagPairMatches", kFlagFr + kFlagDe, kFlagFr, true},
        AffixCase{"LoneMarkAtStart", kAcute + "abc", kAcute + "a", true},
        AffixCase{"ReplacementAndUnassigned", "\uFFFD\U0010FFFF\U000E0080z", "\uFFFD\U0010FFFF", true}),
    caseName);

class HasSuffix : public testing::TestWithParam<AffixCase> {};

TEST_P(HasSuffix, MatchesWholeCharactersUpToCanonicalEquivalence) {
  EXPECT_EQ(hasSuffix(GetParam().text, GetParam().affix), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HasSuffix,
    testing::Values(
        AffixCase{"BothEmpty", "", "", true}, AffixCase{"EmptySuffix", "abc", "", true},
        AffixCase{"EmptyText", "", "a", false}, AffixCase{"Equal", "abc", "abc", true},
        AffixCase{"Tail", "abc", "bc", true}, AffixCase{"SuffixLonger", "bc", "abc", false},
        AffixCase{"CaseSensitive", "abC", "c", false},
        AffixCase{"QuoteCarryingMarkIsNotAQuote", "name\"" + kAcute, "\"", false},
        AffixCase{"PrecomposedMatchesDecomposed", "cafe" + kAcute, kEAcute, true},
        AffixCase{"DecomposedMatchesPrecomposed", "caf" + kEAcute, "e" + kAcute, true},
        AffixCase{"LfOfCrLfIsNotACharacter", "x\r\n", "\n", false},
        AffixCase{"CrLfMatchesCrLf", "x\r\n", "\r\n", true},
        AffixCase{"LastMemberOfZwjSequence", "a" + kFamily, kGirl, false},
        AffixCase{"SecondFlag", kFlagFr + kFlagDe, kFlagDe, true},
        AffixCase{"FlagsPairFromTheStart", kFlagFr + "\U0001F1E9", "\U0001F1F7\U0001F1E9", false},
        AffixCase{"LoneMark", kAcute, kAcute, true}),
    caseName);

TEST(HugeArgument, MegabyteInputsStayCorrect) {
  const std::string value(1 << 20, 'v');
  EXPECT_TRUE(hasPrefix("--ssid=" + value, "--ssid=v"));
  EXPECT_TRUE(hasSuffix(value + kFamily, "v" + kFamily));
  std::string oneCharacter = "a";
  for (int mark = 0; mark < 100000; ++mark) oneCharacter += mark % 2 ? kAcute : kDotBelow;
  EXPECT_FALSE(hasPrefix(oneCharacter, "a"));
  EXPECT_TRUE(hasPrefix(oneCharacter, oneCharacter));
}

}  // namespace
}  // namespace netmoth::app
