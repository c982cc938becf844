// Arguments are compared and counted in whole user-perceived characters, equal
// when canonically equivalent.
#include "cli/ArgumentMatching.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace netmoth::cli {
namespace {

// Spelled out so the tests show which code points are involved.
const std::string kAcute = "\u0301";       // combining acute accent, class 230
const std::string kDotBelow = "\u0323";    // combining dot below, class 220
const std::string kCircumflex = "\u0302";  // combining circumflex, class 230
const std::string kEAcute = "\u00E9";      // precomposed e with acute
const std::string kMan = "\U0001F468";
const std::string kFamily = kMan + "\u200D\U0001F469\u200D\U0001F467";
const std::string kFlagFr = "\U0001F1EB\U0001F1F7";
const std::string kFlagDe = "\U0001F1E9\U0001F1EA";

TEST(Affix, MatchesWholeCharactersUpToCanonicalEquivalence) {
    const std::tuple<std::string, std::string, bool, bool> cases[] = {
        // text, affix, is prefix, is suffix
        {"abc", "", true, true},
        {"abc", "abc", true, true},
        {"bc", "abc", false, false},
        {"abc", "bc", false, true},
        {"--ssid=" + kAcute + "=", "--ssid=", false, false},  // the mark joins the affix's last character
        {"--ssid=e" + kAcute, "--ssid=", true, false},        // a mark on the letter after is fine
        {"\"" + kAcute, "\"", false, false},                  // a quote carrying a mark is not a quote
        {"e" + kAcute, kEAcute, true, true},
        {kEAcute, "e", false, false},
        {"a" + kAcute + kDotBelow, "a" + kDotBelow + kAcute, true, true},        // classes differ: reordered
        {"a" + kAcute + kCircumflex, "a" + kCircumflex + kAcute, false, false},  // same class: order kept
        {"\uAC00", "\u1100\u1161", true, true},                                  // Hangul syllable and its jamo
        {"\r\n", "\r", false, false},
        {"\r\nx\r\n", "\r\n", true, true},
        {kFamily, kMan, false, false},
        {kFamily + "x" + kFamily, kFamily, true, true},
        {kFlagFr + kFlagDe, kFlagDe, false, true},
        {kFlagFr + "\U0001F1E9", "\U0001F1F7\U0001F1E9", false, false},  // flags pair from the start
        {kAcute + "--ssid=", "--ssid=", false, true},
        {"\uFFFD\U0010FFFF\U000E0080z", "\uFFFD\U0010FFFF", true, false}};  // replacement and unassigned
    for (const auto& [text, affix, isPrefix, isSuffix] : cases) {
        EXPECT_EQ(hasPrefix(text, affix), isPrefix) << text << " / " << affix;
        EXPECT_EQ(hasSuffix(text, affix), isSuffix) << text << " / " << affix;
    }
    const std::string value(1 << 20, 'v');
    EXPECT_TRUE(hasPrefix("--ssid=" + value, "--ssid=v"));
    EXPECT_TRUE(hasSuffix(value + kFamily, "v" + kFamily));
    std::string oneCharacter = "a";
    for (int mark = 0; mark < 100000; ++mark) oneCharacter += mark % 2 ? kAcute : kDotBelow;
    EXPECT_FALSE(hasPrefix(oneCharacter, "a"));
    EXPECT_TRUE(hasPrefix(oneCharacter, oneCharacter));
}

// The prefix's length in characters is dropped, not compared; then lone quotes are unwrapped.
TEST(ParseArgument, DropsPrefixLengthThenUnwrapsLoneQuotes) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // argument, prefix, value
        {"--ssid=\"abc\"", "--ssid=", "abc"},
        {"--ssid=", "--ssid=", ""},
        {"--ssid=\"", "--ssid=", ""},
        {"--ssid=\"abc", "--ssid=", "\"abc"},
        {"--ssid=abc\"", "--ssid=", "abc\""},
        {"--ssid=\"\"abc\"\"", "--ssid=", "\"abc\""},
        {"--ssid= \"abc\"", "--ssid=", " \"abc\""},
        {"--ssid=\"\u0301abc\"", "--ssid=", "\"\u0301abc\""},
        {"--ssid=\"abc\"\u0301", "--ssid=", "\"abc\"\u0301"},
        {"--ssid=\"cafe\u0301\"", "--ssid=", "cafe\u0301"},
        {"--ss", "--ssid=", ""},
        {"0123456789", "abcdef", "6789"},
        {"abcdef", "x\u00E9y", "def"},
        {"e\u0301bcd", "xyz", "d"},
        {"\r\n\"v\"", "x", "v"},
        {"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EAz", "xy", "z"}};
    for (const auto& [argument, prefix, value] : cases) {
        EXPECT_EQ(parseArgument(argument, prefix), value) << argument << " after " << prefix;
    }
}

}  // namespace
}  // namespace netmoth::cli
