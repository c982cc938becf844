#include <gtest/gtest.h>

#include "ElementBuilders.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using namespace phy;

constexpr std::uint8_t kBasic = 0x80;
const Bytes kDsssRates = {2 | kBasic, 4 | kBasic, 11, 22};
const Bytes kOfdmRates = {12 | kBasic, 18, 24 | kBasic, 36, 48, 72, 96, 108};
const Bytes kBasicOnly = {2 | kBasic, 11 | kBasic, 12 | kBasic, 108 | kBasic};
// HT, VHT, SAE hash-to-element and HE PHY membership selectors.
const Bytes kSelectorsOnly = {0xFF, 0xFE, 0xFB, 0xFA};

struct PhyCase {
    const char* name;
    std::uint32_t frequency;
    Bytes elements;
    std::vector<int> modes;
};

class PhyModeMaskTest : public testing::TestWithParam<PhyCase> {};

TEST_P(PhyModeMaskTest, ReportsThePlatformModes) {
    std::uint32_t expected = 0;
    for (const int mode : GetParam().modes) expected |= bitFor(mode);
    EXPECT_EQ(phyModeMask(GetParam().frequency, GetParam().elements), expected);
}

const PhyCase kPhyCases[] = {
    {"DsssOnly", 2437, supportedRates(kDsssRates), {k11b}},
    {"DsssAndOfdmAcrossRateElements", 2412, join({supportedRates(kDsssRates), extendedRates(kOfdmRates)}), {k11b, k11g}},
    {"BasicBitMaskedOff", 2412, supportedRates(kBasicOnly), {k11b, k11g}},
    {"OfdmOnly24", 2472, supportedRates(kOfdmRates), {k11g}},
    {"ErpWithoutOfdmRates", 2484, join({supportedRates(kDsssRates), erpElement()}), {k11b, k11g}},
    {"Ht24", 2437, join({supportedRates(kDsssRates), htCapabilities()}), {k11b, k11n}},
    {"VhtOn24IsVendorNotAc", 2437, join({supportedRates(kOfdmRates), htCapabilities(), vhtCapabilities()}), {k11g, k11n}},
    {"Ofdm5", 5180, supportedRates(kOfdmRates), {k11a}},
    {"DsssRatesOn5AreNotB", 5180, supportedRates(kDsssRates), {}},
    {"Everything5", 5500, join({supportedRates(kOfdmRates), htCapabilities(), vhtCapabilities(), heCapabilities(), ehtCapabilities()}),
     {k11a, k11n, k11ac, k11ax, k11be}},
    {"SixGHzIsHeOnly", 5955, join({supportedRates(kOfdmRates), heCapabilities(), ehtCapabilities()}), {k11ax, k11be}},
    {"SelectorsAreNotRates", 5180, join({supportedRates(kSelectorsOnly), extendedRates(kSelectorsOnly)}), {}},
    {"MisSizedCapabilitiesAreSkipped", 5180,
     join({rawElement(element::kHtCapabilities, Bytes(25, 0)), extensionElement(extension::kHeCapabilities, Bytes(20, 0))}), {}},
    {"UnknownBandKeepsOnlyBandFreeModes", 0, join({supportedRates(kOfdmRates), htCapabilities(), vhtCapabilities()}), {k11n}},
};

INSTANTIATE_TEST_SUITE_P(Rules, PhyModeMaskTest, testing::ValuesIn(kPhyCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace netmoth::ieee80211
