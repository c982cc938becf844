// Networks given as the radio reports them: what is left out is derived with
// the element decoder, and an explicit value always wins.
#include "SceneTestSupport.h"

#include <stdexcept>

#include "platform/Base64.h"

namespace netmoth::scene {
namespace {

using platform::Bytes;
using testing::channelOf;

Bytes element(std::uint8_t id, Bytes payload) {
    payload.insert(payload.begin(), {id, static_cast<std::uint8_t>(payload.size())});
    return payload;
}

// SSID "Lab"; rates 1, 2 (basic), 5.5, 11, 6, 12 Mb/s; RSN with CCMP and PSK.
Bytes wpa2Elements() {
    Bytes bytes = element(0, {'L', 'a', 'b'});
    for (const Bytes& next : {element(1, {0x82, 0x84, 0x0b, 0x16, 0x0c, 0x18}),
                              element(48, {1, 0, 0, 0x0f, 0xac, 4, 1, 0, 0, 0x0f, 0xac, 4, 1, 0, 0, 0x0f, 0xac, 2, 0, 0})}) {
        bytes.insert(bytes.end(), next.begin(), next.end());
    }
    return bytes;
}

const std::string kIe = R"("ie": ")" + platform::encodeBase64(wpa2Elements()) + R"(")";

// The one network of a scene; the scan result outlives its scene.
std::unique_ptr<platform::WiFiNetwork> onlyNetwork(const std::string& fields) {
    const auto scene = testing::mustParse(R"({"defaultInterface": 0, "interfaces": [{"scan": {"networks": [{)" + fields + "}]}}]}");
    auto networks = scene ? testing::scan(*scene->client().interface()) : platform::NetworkList{};
    if (networks.size() != 1) throw std::runtime_error("expected one network");
    return std::move(networks[0]);
}

std::vector<std::int64_t> supported(bool (platform::WiFiNetwork::*supports)(std::int64_t) const,
                                    const platform::WiFiNetwork& network) {
    std::vector<std::int64_t> values;
    for (std::int64_t value = -1; value < 64; ++value) {
        if ((network.*supports)(value)) values.push_back(value);
    }
    return values;
}
const auto security = &platform::WiFiNetwork::supportsSecurity;
const auto phyModes = &platform::WiFiNetwork::supportsPHYMode;
using Values = std::vector<std::int64_t>;

TEST(SceneRadioLevel, DerivesChannelSecurityAndPhyModesButNeverTheSsid) {
    const auto network = onlyNetwork(R"("frequency": 2462, "capability": 1041, )" + kIe);  // ESS, privacy, short slot
    EXPECT_EQ(channelOf(*network), std::tuple(11, 1, 1));
    EXPECT_EQ(supported(security, *network), Values{4});
    EXPECT_EQ(supported(phyModes, *network), (Values{2, 3}));
    EXPECT_EQ(network->ssid(), std::nullopt);
}

TEST(SceneRadioLevel, ExplicitValuesWin) {
    const auto network = onlyNetwork(R"("frequency": 2462, "capability": 1041, "channel": {"number": 7},
                                         "security": [], "phyModes": [6], )" + kIe);
    EXPECT_EQ(channelOf(*network), std::tuple(7, 0, 0));
    EXPECT_EQ(supported(security, *network), Values{});
    EXPECT_EQ(supported(phyModes, *network), Values{6});
}

TEST(SceneRadioLevel, EachValueNeedsTheFactsItIsDerivedFrom) {
    const auto capabilityOnly = onlyNetwork(R"("capability": 17)");  // privacy without RSN: WEP
    EXPECT_EQ(channelOf(*capabilityOnly), std::tuple(-1, -1, -1));
    EXPECT_EQ(supported(security, *capabilityOnly), Values{1});
    EXPECT_EQ(supported(phyModes, *capabilityOnly), Values{});
    const auto frequencyOnly = onlyNetwork(R"("frequency": 5180)");
    EXPECT_EQ(channelOf(*frequencyOnly), std::tuple(36, 2, 1));
    EXPECT_EQ(supported(security, *frequencyOnly), Values{0});  // capability 0: no privacy
    const auto elementsOnly = onlyNetwork(kIe);  // not radio-level: nothing derived
    EXPECT_EQ(elementsOnly->informationElementData(), wpa2Elements());
    EXPECT_EQ(channelOf(*elementsOnly), std::tuple(-1, -1, -1));
    EXPECT_EQ(supported(security, *elementsOnly), Values{});
    EXPECT_EQ(supported(phyModes, *elementsOnly), Values{});
}

}  // namespace
}  // namespace netmoth::scene
