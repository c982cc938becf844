#include "reports/NetworkLabels.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"

namespace netmoth::reports {
namespace {

testing::FakeNetwork networkWith(std::set<std::int64_t> security, std::set<std::int64_t> phyModes = {}) {
    testing::FakeNetwork network;
    network.security = std::move(security);
    network.phyModes = std::move(phyModes);
    return network;
}

struct SecurityCase {
    std::set<std::int64_t> supported;
    std::string expected;
};

class SecurityLabels : public ::testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityLabels, FollowTheFixedOrderNotTheRawValues) {
    EXPECT_EQ(supportedSecurityTypes(networkWith(GetParam().supported)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SecurityLabels,
    ::testing::Values(SecurityCase{{0}, "None"}, SecurityCase{{}, ""},
                      SecurityCase{{5, 10, 13, 14, 15, -1}, ""},  // values outside the list have no label
                      SecurityCase{{4, 11}, "WPA2-PSK, WPA3-SAE"},
                      SecurityCase{{2, 3, 4}, "WPA-PSK, WPA/WPA2-PSK, WPA2-PSK"},
                      SecurityCase{{4, 6}, "WPA2-PSK, Dynamic-WEP"}, SecurityCase{{11, 9}, "WPA3-SAE, WPA2-EAP"},
                      SecurityCase{{0, 1, 2, 3, 4, 6, 7, 8, 9, 11, 12},
                                   "None, WEP, WPA-PSK, WPA/WPA2-PSK, WPA2-PSK, WPA3-SAE, WPA-EAP, "
                                   "WPA/WPA2-EAP, WPA2-EAP, WPA3-EAP, Dynamic-WEP"}));

TEST(WifiType, IsTheHighestSupportedModeOrFourWhenNoneIsConfirmed) {
    EXPECT_EQ(supportedPHYModes(networkWith({}, {1, 4, 5})), 5);
    EXPECT_EQ(supportedPHYModes(networkWith({}, {2, 3})), 3);
    EXPECT_EQ(supportedPHYModes(networkWith({}, {1, 6, 2})), 6);
    EXPECT_EQ(supportedPHYModes(networkWith({}, {})), 4);
    EXPECT_EQ(supportedPHYModes(networkWith({}, {0})), 0);
    EXPECT_EQ(supportedPHYModes(networkWith({}, {7, 8})), 4);  // modes past 11ax are not asked
}

}  // namespace
}  // namespace netmoth::reports
