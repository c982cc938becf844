// Which security kinds and PHY modes a BSS supports, as masks and as the
// radio network answers them.
#include "ElementBuilders.h"
#include "platform/ieee80211/RadioNetwork.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using namespace security;
using namespace phy;

struct SecurityCase {
    const char* name;
    Bytes elements;
    std::uint32_t expected;
    std::uint16_t capability = kPrivacy;
};

class SecurityMaskTest : public testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityMaskTest, ReportsThePlatformKinds) {
    EXPECT_EQ(securityMask(GetParam().capability, GetParam().elements), GetParam().expected);
}

const SecurityCase kSecurityCases[] = {
    {"Open", {}, maskOf({kNone}), 0},
    {"Wep", ssidElement("x"), maskOf({kWep})},
    {"Wpa2PskFtAndSha256", rsnElement({kAkmFtPsk, kAkmPskSha256}), maskOf({kWpa2Psk})},
    {"MixedWpaWpa2PskAfterTwoPairwiseCiphers",
     join({wpaElement({kWpaAkmPsk}), rsnElement({kAkmPsk}, 0, {kCipherCcmp, kCipherTkip})}),
     maskOf({kWpaPsk, kWpaWpa2Psk, kWpa2Psk})},
    {"Wpa3SaeVariants", rsnElement({kAkmFtSae, kAkmSaeExtKey}, kMfpRequired), maskOf({kWpa3Sae})},
    {"MixedWpaWpa2Eap", join({wpaElement({kWpaAkm8021x}), rsnElement({kAkm8021x})}),
     maskOf({kWpaEap, kWpaWpa2Eap, kWpa2Eap})},
    {"Wpa2EapFt", rsnElement({kAkmFt8021x}, kMfpRequired), maskOf({kWpa2Eap})},
    {"Wpa2EapSha256WithoutMfpr", rsnElement({kAkm8021xSha256}, kMfpCapable), maskOf({kWpa2Eap})},
    {"Eap1StaysWpa2WithMfpr", rsnElement({kAkm8021x, kAkm8021xSha256}, kMfpRequired), maskOf({kWpa2Eap, kWpa3Eap})},
    {"Wpa3Eap192AndFtSha384", rsnElement({kAkmSuiteB192, kAkmFt8021xSha384}), maskOf({kWpa3Eap})},
    {"WpaPskWithWpa3Only", join({wpaElement({kWpaAkmPsk}), rsnElement({kAkmSae})}), maskOf({kWpaPsk, kWpa3Sae})},
    {"OweAndVendorAkmsNameNoKind", rsnElement({kAkmOwe, kAkmVendor}), 0},
    {"RsnWithoutPrivacyIsNotOpen", rsnElement({kAkmPsk}), maskOf({kWpa2Psk}), 0},
    {"WpaVersionOnlyDefaultsTo8021x", vendorElement(kWpaVendorType, le16(1)), maskOf({kWpaEap})},
    {"WpaTooShortForVersionIsNotWpa", vendorElement(kWpaVendorType, {1}), maskOf({kWep})},
    {"UnknownRsnVersion", rawElement(element::kRsn, join({le16(2), suite(kCipherCcmp)})), 0},
    {"WmmAndOtherVendorsAreNotWpa",
     join({vendorElement(0x0050F202, le16(1)), vendorElement(0x00037F01, rsnBody({kAkmPsk})),
           rawElement(element::kVendorSpecific, {0x00, 0x50, 0xF2})}),
     maskOf({kWep})},
    {"PairwiseCountZero", rawElement(element::kRsn, join({le16(1), suite(kCipherCcmp), le16(0), suiteList({kAkmPsk})})),
     0},
};

INSTANTIATE_TEST_SUITE_P(Rules, SecurityMaskTest, testing::ValuesIn(kSecurityCases), kCaseName);

TEST(SecurityMask, RsnCutAtEveryLengthKeepsWhatWasReadAndDefaultsTheRest) {
    const Bytes whole = rsnBody({kAkmPsk, kAkm8021xSha256}, kMfpRequired);
    // A clean cut before a field gives that field its default (AKM 802.1X, no
    // MFPR); a cut inside a field, a suite count or a selector leaves AKMs unknown.
    const std::uint32_t wep = maskOf({kWep}), eap = maskOf({kWpa2Eap}), noMfpr = maskOf({kWpa2Psk, kWpa2Eap});
    const std::uint32_t byLength[] = {wep, wep, eap,    0,      0,
                                      0,   eap, 0,      0,      0,
                                      0,   0,   eap,    0,      0,
                                      0,   0,   0,      0,      0,
                                      0,   0,   noMfpr, noMfpr, maskOf({kWpa2Psk, kWpa3Eap})};
    ASSERT_EQ(std::size(byLength), whole.size() + 1);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(securityMask(kPrivacy, rawElement(element::kRsn, cut)), byLength[length]) << length;
    }
}

constexpr std::uint8_t kBasic = 0x80;
const Bytes kOfdmRates = {12 | kBasic, 18, 24 | kBasic, 36, 48, 72, 96, 108};
const Bytes kDsss = supportedRates({2 | kBasic, 4 | kBasic, 11, 22});
const Bytes kOfdm = supportedRates(kOfdmRates);
// HT, VHT, SAE hash-to-element and HE PHY membership selectors.
const Bytes kSelectorsOnly = {0xFF, 0xFE, 0xFB, 0xFA};

struct PhyCase {
    const char* name;
    std::uint32_t frequency;
    Bytes elements;
    std::uint32_t expected;
};

class PhyModeMaskTest : public testing::TestWithParam<PhyCase> {};

TEST_P(PhyModeMaskTest, ReportsThePlatformModes) {
    EXPECT_EQ(phyModeMask(GetParam().frequency, GetParam().elements), GetParam().expected);
}

const PhyCase kPhyCases[] = {
    {"DsssAndOfdmAcrossRateElements", 2412, join({kDsss, extendedRates(kOfdmRates)}), maskOf({k11b, k11g})},
    {"BasicBitMaskedOff", 2412, supportedRates({2 | kBasic, 11 | kBasic, 12 | kBasic, 108 | kBasic}),
     maskOf({k11b, k11g})},
    {"ErpWithoutOfdmRates", 2484, join({kDsss, erpElement()}), maskOf({k11b, k11g})},
    {"VhtOn24IsVendorNotAc", 2437, join({kOfdm, htCapabilities(), vhtCapabilities()}), maskOf({k11g, k11n})},
    {"DsssRatesOn5AreNotB", 5180, kDsss, 0},
    {"Everything5", 5500, join({kOfdm, htCapabilities(), vhtCapabilities(), heCapabilities(), ehtCapabilities()}),
     maskOf({k11a, k11n, k11ac, k11ax, k11be})},
    {"SixGHzIsHeOnly", 5955, join({kOfdm, heCapabilities(), ehtCapabilities()}), maskOf({k11ax, k11be})},
    {"SelectorsAreNotRates", 5180, join({supportedRates(kSelectorsOnly), extendedRates(kSelectorsOnly)}), 0},
    {"MisSizedCapabilitiesAreSkipped", 5180, join({htCapabilities(25), heCapabilities(20)}), 0},
    {"UnknownBandKeepsOnlyBandFreeModes", 0, join({kOfdm, htCapabilities(), vhtCapabilities()}), maskOf({k11n})},
};

INSTANTIATE_TEST_SUITE_P(Rules, PhyModeMaskTest, testing::ValuesIn(kPhyCases), kCaseName);

// What a radio network passes through and derives is checked end to end by
// the record round trip; here only what that cannot reach.
TEST(RadioNetwork, NoFrequencyMeansNoChannelAndValuesOutsideTheMasksAreUnsupported) {
    RadioFacts facts;
    facts.elements = join({htCapabilities(), heCapabilities(), ehtCapabilities()});
    const auto network = makeRadioNetwork(facts);
    EXPECT_EQ(network->wlanChannel(), std::nullopt);
    EXPECT_TRUE(network->supportsPHYMode(phy::k11be) && network->supportsSecurity(security::kNone));
    for (const std::int64_t value : {-1LL, -32LL, 32LL, 64LL, 1LL << 40}) {
        EXPECT_FALSE(network->supportsSecurity(value) || network->supportsPHYMode(value)) << value;
    }
}

}  // namespace
}  // namespace netmoth::ieee80211
