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

TEST(RadioFacts, SignalTruncatesTowardZero) {
    for (const auto& [mbm, dbm] : {std::pair{-4712, -47}, {-4799, -47}, {-99, 0}, {-10000, -100}}) {
        BssEntry entry;
        entry.signalMbm = mbm;
        EXPECT_EQ(radioFactsOf(entry).signalDbm, dbm) << mbm;
    }
}

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
