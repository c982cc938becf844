#include "reports/HiddenSsidIndex.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "platform/posix/MemoryUserDefaults.h"

namespace netmoth::reports {
namespace {

using nlohmann::json;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

struct LoadCase {
    const char* name;
    std::string stored;  // JSON text
    std::unordered_map<std::string, std::int64_t> kept;
    std::int64_t nextNumber;
};

class LoadHiddenSsidIndexTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadHiddenSsidIndexTest, KeepsOnlyInt64ValuesAndCountsOnFromTheLargest) {
    const json stored = json::parse(GetParam().stored);
    HiddenSsidIndex index = loadHiddenSsidIndex(&stored);
    EXPECT_EQ(index.numberByBssid, GetParam().kept);
    EXPECT_FALSE(index.changed);
    EXPECT_EQ(hiddenSsidNumber(index, "new"), GetParam().nextNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LoadHiddenSsidIndexTest,
    testing::Values(
        LoadCase{"Empty", "{}", {}, 0},
        LoadCase{"NotAnObject", "[1,2]", {}, 0},
        LoadCase{"ZeroAndFive", R"({"a":0,"b":5})", {{"a", 0}, {"b", 5}}, 6},
        LoadCase{"GapsStay", R"({"a":1,"b":7})", {{"a", 1}, {"b", 7}}, 8},
        LoadCase{"OnlyNegative", R"({"a":-3})", {{"a", -3}}, -2},
        LoadCase{"IntegralFloats", R"({"a":5.0,"b":-0.0,"c":1e3})", {{"a", 5}, {"b", 0}, {"c", 1000}}, 1001},
        LoadCase{"NonIntegersDropped",
                 R"({"f":5.5,"b":true,"s":"9","n":null,"a":[9],"o":{"x":9},"k":2})", {{"k", 2}}, 3},
        LoadCase{"OutOfRangeDropped",
                 R"({"u":9223372036854775808,"big":1e19,"two63":9.223372036854775808e18,"k":1})",
                 {{"k", 1}}, 2},
        LoadCase{"Int64Ends", R"({"lo":-9223372036854775808,"lof":-9.223372036854775808e18})",
                 {{"lo", kMin}, {"lof", kMin}}, kMin + 1}),
    [](const testing::TestParamInfo<LoadCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(HiddenSsidIndexTest, NullStoreGivesEmptyIndex) {
    HiddenSsidIndex index = loadHiddenSsidIndex(nullptr);
    EXPECT_TRUE(index.numberByBssid.empty());
    EXPECT_EQ(hiddenSsidLabel(index, "x"), "Hidden SSID 0");
}

TEST(HiddenSsidIndexTest, KnownBssidKeepsItsLabelAndChangesNothing) {
    const json stored = {{"aa:bb", -7}, {"cc:dd", 4}};
    HiddenSsidIndex index = loadHiddenSsidIndex(&stored);
    EXPECT_EQ(hiddenSsidLabel(index, "aa:bb"), "Hidden SSID -7");
    EXPECT_FALSE(index.changed);
    EXPECT_EQ(hiddenSsidLabel(index, "ee:ff"), "Hidden SSID 5");
    EXPECT_EQ(hiddenSsidLabel(index, "ee:ff"), "Hidden SSID 5");
    EXPECT_TRUE(index.changed);
    EXPECT_EQ(hiddenSsidLabel(index, "gg:hh"), "Hidden SSID 6");
}

struct OverflowCase {
    const char* name;
    std::vector<std::int64_t> stored;
    std::vector<std::int64_t> handedOut;
};

class HiddenSsidOverflowTest : public testing::TestWithParam<OverflowCase> {};

// Past INT64_MAX the smallest non-negative number no entry holds is used.
TEST_P(HiddenSsidOverflowTest, NeverRepeatsNorOverflows) {
    json stored = json::object();
    for (std::size_t i = 0; i < GetParam().stored.size(); ++i) stored["old" + std::to_string(i)] = GetParam().stored[i];
    HiddenSsidIndex index = loadHiddenSsidIndex(&stored);
    std::vector<std::int64_t> handedOut;
    for (std::size_t i = 0; i < GetParam().handedOut.size(); ++i) {
        handedOut.push_back(hiddenSsidNumber(index, "new" + std::to_string(i)));
    }
    EXPECT_EQ(handedOut, GetParam().handedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HiddenSsidOverflowTest,
    testing::Values(OverflowCase{"MaxOnly", {kMax}, {0, 1}},
                    OverflowCase{"MaxZeroOne", {kMax, 0, 1}, {2, 3}},
                    OverflowCase{"MaxWithGap", {kMax, 0, 2, -1}, {1, 3, 4}},
                    OverflowCase{"ReachesMax", {kMax - 1, 0}, {kMax, 1, 2}}),
    [](const testing::TestParamInfo<OverflowCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(HiddenSsidIndexTest, ManyNewNumbersAreAllDistinctFromEachOtherAndFromKept) {
    const json stored = {{"a", kMax - 2}, {"b", 3}, {"c", 0}, {"d", 700}, {"e", -5}};
    HiddenSsidIndex index = loadHiddenSsidIndex(&stored);
    std::set<std::int64_t> seen = {kMax - 2, 3, 0, 700, -5};
    for (int i = 0; i < 2000; ++i) {
        EXPECT_TRUE(seen.insert(hiddenSsidNumber(index, "new" + std::to_string(i))).second) << i;
    }
}

TEST(HiddenSsidIndexTest, SavesOnlyWhenChanged) {
    platform::posix::MemoryUserDefaults defaults(json{{"other", 1}, {kHiddenSsidIndexKey, {{"a", 1}, {"bad", "x"}}}});
    auto lease = defaults.acquire();
    HiddenSsidIndex index = loadHiddenSsidIndex(lease->objectForKey(kHiddenSsidIndexKey));
    hiddenSsidLabel(index, "a");
    saveHiddenSsidIndex(index, *lease);
    EXPECT_EQ(defaults.writeCount(), 0) << "dropped entries alone must not cause a write";

    hiddenSsidLabel(index, "b");
    saveHiddenSsidIndex(index, *lease);
    EXPECT_EQ(defaults.writeCount(), 1);
    EXPECT_EQ(defaults.store(), json({{"other", 1}, {kHiddenSsidIndexKey, {{"a", 1}, {"b", 2}}}}));
    HiddenSsidIndex reloaded = loadHiddenSsidIndex(lease->objectForKey(kHiddenSsidIndexKey));
    EXPECT_EQ(reloaded.numberByBssid, index.numberByBssid);
    EXPECT_EQ(hiddenSsidNumber(reloaded, "c"), 3);
}

}  // namespace
}  // namespace netmoth::reports
