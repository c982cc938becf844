#include "report/HiddenSsidIndex.h"

#include <gtest/gtest.h>

#include <limits>

namespace netmoth::report {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const std::string kMaxText = std::to_string(kMax);

struct IndexCase {
    const char* name;
    std::string stored;  // JSON text
    std::unordered_map<std::string, std::int64_t> kept;
    std::vector<std::int64_t> handedOut;  // to new BSSIDs, in turn
};

void PrintTo(const IndexCase& row, std::ostream* out) { *out << row.name; }

class HiddenSsidIndexTest : public testing::TestWithParam<IndexCase> {};

// Kept entries are int64 values; new numbers count on from the largest, and
// past INT64_MAX are the smallest non-negative numbers no entry holds.
TEST_P(HiddenSsidIndexTest, KeepsInt64ValuesAndNeverRepeatsNorOverflows) {
    const nlohmann::json stored = nlohmann::json::parse(GetParam().stored);
    HiddenSsidIndex index = loadHiddenSsidIndex(&stored);
    EXPECT_EQ(index.numberByBssid, GetParam().kept);
    for (const auto& [bssid, number] : GetParam().kept) EXPECT_EQ(hiddenSsidNumber(index, bssid), number);
    EXPECT_FALSE(index.changed) << "neither dropped entries nor known BSSIDs change the index";
    std::vector<std::int64_t> handedOut;
    for (std::size_t i = 0; i < GetParam().handedOut.size(); ++i) {
        handedOut.push_back(hiddenSsidNumber(index, "new" + std::to_string(i)));
    }
    EXPECT_EQ(handedOut, GetParam().handedOut);
    EXPECT_EQ(hiddenSsidNumber(index, "new0"), handedOut[0]);
    EXPECT_TRUE(index.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HiddenSsidIndexTest,
    testing::Values(
        IndexCase{"Empty", "{}", {}, {0, 1}}, IndexCase{"NotAnObject", "[1,2]", {}, {0}},
        IndexCase{"GapsStay", R"({"a":0,"b":5})", {{"a", 0}, {"b", 5}}, {6, 7}},
        IndexCase{"OnlyNegative", R"({"a":-3})", {{"a", -3}}, {-2}},
        IndexCase{"IntegralFloats", R"({"a":5.0,"b":-0.0,"c":1e3})", {{"a", 5}, {"b", 0}, {"c", 1000}}, {1001}},
        IndexCase{
            "NonIntegersDropped", R"({"f":5.5,"b":true,"s":"9","n":null,"a":[9],"o":{"x":9},"k":2})", {{"k", 2}}, {3}},
        IndexCase{"OutOfRangeDropped",
                  R"({"u":9223372036854775808,"big":1e19,"two63":9.223372036854775808e18,"k":1})",
                  {{"k", 1}},
                  {2}},
        IndexCase{"Int64Ends",
                  R"({"lo":-9223372036854775808,"lof":-9.223372036854775808e18})",
                  {{"lo", kMin}, {"lof", kMin}},
                  {kMin + 1}},
        IndexCase{"PastMaxSkipsEveryHeldNumber",
                  R"({"m":)" + kMaxText + R"(,"a":0,"b":1,"c":3,"d":-1})",
                  {{"m", kMax}, {"a", 0}, {"b", 1}, {"c", 3}, {"d", -1}},
                  {2, 4, 5}},
        IndexCase{"ReachesMaxThenFillsGaps",
                  R"({"m":)" + std::to_string(kMax - 1) + R"(,"a":0})",
                  {{"m", kMax - 1}, {"a", 0}},
                  {kMax, 1, 2}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace netmoth::report
