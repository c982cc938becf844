#include "report/HiddenSsidIndex.h"

#include <gtest/gtest.h>

#include <limits>

namespace netmoth::report {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

struct IndexCase {
    const char* name;
    store::HiddenNumbers stored;
    std::unordered_map<std::string, std::int64_t> kept;
    std::vector<std::int64_t> handedOut;  // to new BSSIDs, in turn
};

void PrintTo(const IndexCase& row, std::ostream* out) { *out << row.name; }

class HiddenSsidIndexTest : public testing::TestWithParam<IndexCase> {};

// Kept entries are int64 values; new numbers count on from the largest, and
// past INT64_MAX are the smallest non-negative numbers no entry holds.
TEST_P(HiddenSsidIndexTest, KeepsInt64ValuesAndNeverRepeatsNorOverflows) {
    HiddenSsidIndex index = loadHiddenSsidIndex(GetParam().stored);
    EXPECT_EQ(index.numberByBssid, GetParam().kept);
    for (const auto& [bssid, number] : GetParam().kept) EXPECT_EQ(hiddenSsidNumber(index, bssid), number);
    EXPECT_FALSE(index.changed) << "known BSSIDs do not change the index";
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
    testing::Values(IndexCase{"Empty", {}, {}, {0, 1}},
                    IndexCase{"GapsStay", {{"a", 0}, {"b", 5}}, {{"a", 0}, {"b", 5}}, {6, 7}},
                    IndexCase{"OnlyNegative", {{"a", -3}}, {{"a", -3}}, {-2}},
                    IndexCase{"Int64Ends", {{"lo", kMin}}, {{"lo", kMin}}, {kMin + 1}},
                    IndexCase{"PastMaxSkipsEveryHeldNumber",
                              {{"m", kMax}, {"a", 0}, {"b", 1}, {"c", 3}, {"d", -1}},
                              {{"m", kMax}, {"a", 0}, {"b", 1}, {"c", 3}, {"d", -1}},
                              {2, 4, 5}},
                    IndexCase{"ReachesMaxThenFillsGaps", {{"m", kMax - 1}, {"a", 0}}, {{"m", kMax - 1}, {"a", 0}},
                              {kMax, 1, 2}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace netmoth::report
