#include <gtest/gtest.h>

#include "NetlinkMessage.h"
#include "platform/linux/ScanPlan.h"
#include "platform/linux/ScanResults.h"

namespace netmoth::linux_backend {
namespace {

TEST(ProbeSsids, OnlyTheWildcardForNoNameOrOneLongerThanAnSsid) {
    const std::vector<platform::Bytes> wildcardOnly(1);
    EXPECT_EQ(probeSsidsFor(std::nullopt), wildcardOnly);
    EXPECT_EQ(probeSsidsFor(""), wildcardOnly);
    EXPECT_EQ(probeSsidsFor(std::string(32, 'x')).size(), 2u);
    EXPECT_EQ(probeSsidsFor(std::string(33, 'x')), wildcardOnly);
}

struct SignalCase {
    std::int32_t mbm;
    std::int64_t dbm;
};

class SignalInDbm : public testing::TestWithParam<SignalCase> {};

TEST_P(SignalInDbm, TruncatesTowardZero) {
    BssEntry entry;
    entry.signalMbm = GetParam().mbm;
    EXPECT_EQ(radioFactsOf(entry).signalDbm, GetParam().dbm);
}

INSTANTIATE_TEST_SUITE_P(Values, SignalInDbm,
                         testing::Values(SignalCase{-4712, -47}, SignalCase{-4799, -47},
                                         SignalCase{-99, 0}, SignalCase{-10000, -100}));

TEST(RadioFacts, ElementsFromTheProbeResponseElseTheBeacon) {
    BssEntry entry;
    entry.beaconElements = test::elementsNaming("Beacon");
    EXPECT_EQ(radioFactsOf(entry).ssid, "Beacon");
    EXPECT_EQ(radioFactsOf(entry).elements, entry.beaconElements);
    entry.elements = test::elementsNaming("Probe");
    EXPECT_EQ(radioFactsOf(entry).ssid, "Probe");
}

}  // namespace
}  // namespace netmoth::linux_backend
