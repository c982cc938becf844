#include "store/StorePath.h"

#include <gtest/gtest.h>

namespace netmoth::store {
namespace {

using Text = std::optional<std::string>;

struct PathCase {
    const char* name;
    Text xdgConfigHome, home, accountHome;
    Text expected;
};

void PrintTo(const PathCase& row, std::ostream* out) { *out << row.name; }

class StorePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(StorePathTest, FollowsAbsoluteXdgThenHomeThenAccount) {
    const PathCase& c = GetParam();
    auto environment = [&](std::string_view name) { return name == "XDG_CONFIG_HOME" ? c.xdgConfigHome : c.home; };
    const auto path = resolveStorePath(environment, [&] { return c.accountHome; });
    EXPECT_EQ(path ? Text(path->string()) : std::nullopt, c.expected);
}

const Text kNone = std::nullopt;
const Text kXdgStore = "/xdg/netmoth-companion/defaults.json";
const Text kHomeStore = "/home/u/.config/netmoth-companion/defaults.json";
const Text kAccountStore = "/acct/.config/netmoth-companion/defaults.json";

INSTANTIATE_TEST_SUITE_P(Rules, StorePathTest,
                         testing::Values(PathCase{"XdgWins", "/xdg", "/home/u", "/acct", kXdgStore},
                                         PathCase{"XdgTrailingSlash", "/xdg/", kNone, kNone, kXdgStore},
                                         PathCase{"XdgUnset", kNone, "/home/u", "/acct", kHomeStore},
                                         PathCase{"XdgEmpty", "", "/home/u", "/acct", kHomeStore},
                                         PathCase{"XdgRelative", "xdg", "/home/u", "/acct", kHomeStore},
                                         PathCase{"HomeRelative", kNone, "home/u", "/acct", kAccountStore},
                                         PathCase{"AccountRelative", kNone, kNone, "acct", kNone},
                                         PathCase{"NoAccount", kNone, "x", kNone, kNone}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace netmoth::store
