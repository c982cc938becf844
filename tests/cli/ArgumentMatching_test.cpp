// Arguments are compared and counted in whole user-perceived characters, equal
// when canonically equivalent; the cases are in argument-cases.json.
#include "cli/ArgumentMatching.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace netmoth::cli {
namespace {

const nlohmann::json kCases = nlohmann::json::parse(std::ifstream(NETMOTH_ARGUMENT_CASES));

TEST(Affix, MatchesWholeCharactersUpToCanonicalEquivalence) {
    for (const auto& row : kCases.at("affixes")) {
        const std::string text = row.at("text"), affix = row.at("affix");
        EXPECT_EQ(hasPrefix(text, affix), row.at("isPrefix")) << row.dump();
        EXPECT_EQ(hasSuffix(text, affix), row.at("isSuffix")) << row.dump();
    }
    const std::string value(1 << 20, 'v'), family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    EXPECT_TRUE(hasPrefix("--ssid=" + value, "--ssid=v"));
    EXPECT_TRUE(hasSuffix(value + family, "v" + family));
    std::string oneCharacter = "a";
    for (int mark = 0; mark < 100000; ++mark) oneCharacter += mark % 2 ? "\u0301" : "\u0323";  // acute, dot below
    EXPECT_FALSE(hasPrefix(oneCharacter, "a"));
    EXPECT_TRUE(hasPrefix(oneCharacter, oneCharacter));
}

// The prefix's length in characters is dropped, not compared; then lone quotes are unwrapped.
TEST(ParseArgument, DropsPrefixLengthThenUnwrapsLoneQuotes) {
    for (const auto& row : kCases.at("values")) {
        EXPECT_EQ(parseArgument(row.at("argument").get<std::string>(), row.at("prefix").get<std::string>()),
                  row.at("value"))
            << row.dump();
    }
}

}  // namespace
}  // namespace netmoth::cli
