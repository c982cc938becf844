#include "platform/posix/StorePath.h"

#include <gtest/gtest.h>

#include <map>

namespace netmoth::platform::posix {
namespace {

struct PathCase {
    const char* name;
    std::map<std::string, std::string> environment;
    std::optional<std::string> accountHome;
    std::optional<std::string> expected;
};

class StorePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(StorePathTest, FollowsXdgThenHomeThenAccount) {
    const PathCase& c = GetParam();
    auto environment = [&](std::string_view name) -> std::optional<std::string> {
        auto found = c.environment.find(std::string(name));
        if (found == c.environment.end()) return std::nullopt;
        return found->second;
    };
    auto path = resolveStorePath(environment, [&] { return c.accountHome; });
    ASSERT_EQ(path.has_value(), c.expected.has_value());
    if (path) {
        EXPECT_EQ(path->string(), *c.expected);
    }
}

const std::string kXdgStore = "/xdg/netmoth-companion/defaults.json";
const std::string kHomeStore = "/home/u/.config/netmoth-companion/defaults.json";
const std::string kAccountStore = "/acct/.config/netmoth-companion/defaults.json";

INSTANTIATE_TEST_SUITE_P(
    Rules, StorePathTest,
    testing::Values(
        PathCase{"XdgWins", {{"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}}, "/acct", kXdgStore},
        PathCase{"XdgTrailingSlash", {{"XDG_CONFIG_HOME", "/xdg/"}}, std::nullopt, kXdgStore},
        PathCase{"XdgUnset", {{"HOME", "/home/u"}}, "/acct", kHomeStore},
        PathCase{"XdgEmpty", {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}}, "/acct", kHomeStore},
        PathCase{"XdgRelative", {{"XDG_CONFIG_HOME", "xdg"}, {"HOME", "/home/u"}}, "/acct", kHomeStore},
        PathCase{"HomeRelative", {{"HOME", "home/u"}}, "/acct", kAccountStore},
        PathCase{"HomeEmpty", {{"HOME", ""}}, "/acct", kAccountStore},
        PathCase{"NothingSet", {}, "/acct", kAccountStore},
        PathCase{"AccountRelative", {}, "acct", std::nullopt},
        PathCase{"AccountEmpty", {{"XDG_CONFIG_HOME", "rel"}}, "", std::nullopt},
        PathCase{"NoAccount", {{"HOME", "x"}}, std::nullopt, std::nullopt}),
    [](const testing::TestParamInfo<PathCase>& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace netmoth::platform::posix
