#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>

#include "app/arguments/ArgumentMatching.h"

namespace netmoth::app {
namespace {

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

INSTANTIATE_TEST_SUITE_P(
    AfterSsidPrefix, ParseArgument,
    testing::Values(ssid("abc", "abc"), ssid("\"abc\"", "abc"), ssid("\"My Net\"", "My Net"),
                    ssid("", ""), ssid("\"", ""), ssid("\"\"", ""), ssid("\"abc", "\"abc"),
                    ssid("abc\"", "abc\""), ssid("\"a\"b\"", "a\"b"), ssid("\"\"abc\"\"", "\"abc\""),
                    ssid(" \"abc\"", " \"abc\""), ssid("\"abc\" ", "\"abc\" "),
                    ssid("\"\u0301abc\"", "\"\u0301abc\""), ssid("\"abc\"\u0301", "\"abc\"\u0301"),
                    ssid("\"cafe\u0301\"", "cafe\u0301")));

INSTANTIATE_TEST_SUITE_P(
    PrefixCountedNotCompared, ParseArgument,
    testing::Values(ParseCase{"--ss", "--ssid=", ""}, ParseCase{"--ssid=", "--ssid=", ""},
                    ParseCase{"\"quoted\"", "", "quoted"}, ParseCase{"0123456789", "abcdef", "6789"},
                    ParseCase{"abcdef", "x\u00E9y", "def"}, ParseCase{"e\u0301bcd", "xyz", "d"},
                    ParseCase{"a\r\nbc", "xy", "bc"}, ParseCase{"\r\n\"v\"", "x", "v"},
                    ParseCase{"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EAz", "xy", "z"}));

// For ASCII without CR every byte is one character, so everything must agree
// with plain byte operations.
std::string byteLevelParse(const std::string& argument, const std::string& prefix) {
  std::string value = prefix.size() < argument.size() ? argument.substr(prefix.size()) : "";
  if (value.starts_with('"') && value.ends_with('"')) {
    value.erase(0, 1);
    if (!value.empty()) value.pop_back();
  }
  return value;
}

TEST(AsciiWithoutCr, AgreesWithByteOperations) {
  std::mt19937 random(20240611);
  const std::string alphabet = "ab\"=-\n\t A";
  const auto randomText = [&] {
    std::string text(random() % 7, ' ');
    for (char& byte : text) byte = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 5000; ++round) {
    const std::string text = randomText();
    // Half the affixes start as a piece of the text so that matches are common.
    const std::string affix = round % 2 ? randomText() : text.substr(0, random() % 4) + randomText();
    ASSERT_EQ(hasPrefix(text, affix), text.starts_with(affix)) << text << '|' << affix;
    ASSERT_EQ(hasSuffix(text, affix), text.ends_with(affix)) << text << '|' << affix;
    ASSERT_EQ(parseArgument(text, affix), byteLevelParse(text, affix)) << text << '|' << affix;
  }
}

}  // namespace
}  // namespace netmoth::app
