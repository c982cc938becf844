#include "platform/ieee80211/RadioNetwork.h"

#include <gtest/gtest.h>

#include "ElementBuilders.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;

TEST(RadioNetwork, PassesFactsThroughAndDerivesTheRestFromTheElements) {
    const Bytes elements = join({supportedRates({12, 24}), vhtCapabilities(), vhtOperation(1, 42, 0),
                                 rsnElement({kCipherCcmp}, {kAkmSae}, kMfpRequired)});
    const auto network = makeRadioNetwork({.bssid = "aa:bb:cc:dd:ee:ff", .ssid = "cafe", .signalDbm = -61,
                                           .frequencyMHz = 5180, .capability = kPrivacy, .elements = elements});
    EXPECT_EQ(network->bssid(), "aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(network->ssid(), "cafe");
    EXPECT_EQ(network->rssiValue(), -61);
    EXPECT_EQ(network->informationElementData(), elements);
    const auto channel = network->wlanChannel();
    ASSERT_TRUE(channel.has_value());
    EXPECT_EQ(std::tuple(channel->channelNumber, channel->channelWidth, channel->channelBand),
              std::tuple(36, width::k80MHz, band::k5GHz));
    EXPECT_TRUE(network->supportsSecurity(security::kWpa3Sae));
    EXPECT_FALSE(network->supportsSecurity(security::kWpa2Psk));
    EXPECT_TRUE(network->supportsPHYMode(phy::k11ac));
    EXPECT_FALSE(network->supportsPHYMode(phy::k11n));
}

TEST(RadioNetwork, ValuesOutsideTheMaskRangeAreUnsupported) {
    RadioFacts facts;
    facts.elements = join({htCapabilities(), heCapabilities(), ehtCapabilities()});
    const auto network = makeRadioNetwork(facts);
    EXPECT_TRUE(network->supportsPHYMode(phy::k11be));
    for (const std::int64_t value : {-1LL, -32LL, 32LL, 64LL, 1LL << 40}) {
        EXPECT_FALSE(network->supportsSecurity(value)) << value;
        EXPECT_FALSE(network->supportsPHYMode(value)) << value;
    }
}

TEST(RadioNetwork, NoFrequencyMeansNoChannelAndNoElementsMeansOpen) {
    const auto network = makeRadioNetwork(RadioFacts{});
    EXPECT_EQ(network->wlanChannel(), std::nullopt);
    EXPECT_EQ(network->informationElementData(), std::nullopt);
    EXPECT_TRUE(network->supportsSecurity(security::kNone));
    EXPECT_FALSE(network->supportsSecurity(security::kWep));
}

}  // namespace
}  // namespace netmoth::ieee80211
