#include <gtest/gtest.h>

#include "ElementBuilders.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/PlatformValues.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using namespace security;

std::uint32_t maskOf(std::initializer_list<int> values) {
    std::uint32_t mask = 0;
    for (const int value : values) mask |= bitFor(value);
    return mask;
}

struct SecurityCase {
    const char* name;
    std::uint16_t capability;
    Bytes elements;
    std::uint32_t expected;
};

class SecurityMaskTest : public testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityMaskTest, ReportsThePlatformKinds) {
    EXPECT_EQ(securityMask(GetParam().capability, GetParam().elements), GetParam().expected);
}

const SecurityCase kSecurityCases[] = {
    {"Open", 0, {}, maskOf({kNone})},
    {"Wep", kPrivacy, ssidElement("x"), maskOf({kWep})},
    {"WpaPsk", kPrivacy, wpaElement({kWpaAkmPsk}), maskOf({kWpaPsk})},
    {"Wpa2Psk", kPrivacy, rsnElement({kCipherCcmp}, {kAkmPsk}), maskOf({kWpa2Psk})},
    {"Wpa2PskFtAndSha256", kPrivacy, rsnElement({kCipherCcmp}, {kAkmFtPsk, kAkmPskSha256}), maskOf({kWpa2Psk})},
    {"MixedWpaWpa2Psk", kPrivacy, join({wpaElement({kWpaAkmPsk}), rsnElement({kCipherCcmp, kCipherTkip}, {kAkmPsk})}),
     maskOf({kWpaPsk, kWpaWpa2Psk, kWpa2Psk})},
    {"Wpa3Transition", kPrivacy, rsnElement({kCipherCcmp}, {kAkmPsk, kAkmSae}, kMfpCapable), maskOf({kWpa2Psk, kWpa3Sae})},
    {"Wpa3SaeVariants", kPrivacy, rsnElement({kCipherCcmp}, {kAkmFtSae, kAkmSaeExtKey}, kMfpRequired), maskOf({kWpa3Sae})},
    {"WpaEap", kPrivacy, wpaElement({kWpaAkm8021x}), maskOf({kWpaEap})},
    {"MixedWpaWpa2Eap", kPrivacy, join({wpaElement({kWpaAkm8021x}), rsnElement({kCipherCcmp}, {kAkm8021x})}),
     maskOf({kWpaEap, kWpaWpa2Eap, kWpa2Eap})},
    {"Wpa2EapFt", kPrivacy, rsnElement({kCipherCcmp}, {kAkmFt8021x}, kMfpRequired), maskOf({kWpa2Eap})},
    {"Wpa2EapSha256WithoutMfpr", kPrivacy, rsnElement({kCipherCcmp}, {kAkm8021xSha256}, kMfpCapable), maskOf({kWpa2Eap})},
    {"Wpa3EapSha256WithMfpr", kPrivacy, rsnElement({kCipherCcmp}, {kAkm8021xSha256}, kMfpRequired), maskOf({kWpa3Eap})},
    {"Eap1StaysWpa2WithMfpr", kPrivacy, rsnElement({kCipherCcmp}, {kAkm8021x, kAkm8021xSha256}, kMfpRequired),
     maskOf({kWpa2Eap, kWpa3Eap})},
    {"Wpa3Eap192AndFtSha384", kPrivacy, rsnElement({kCipherCcmp}, {kAkmSuiteB192, kAkmFt8021xSha384}), maskOf({kWpa3Eap})},
    {"WpaPskWithWpa3Only", kPrivacy, join({wpaElement({kWpaAkmPsk}), rsnElement({kCipherCcmp}, {kAkmSae})}),
     maskOf({kWpaPsk, kWpa3Sae})},
    {"OweNamesNoKind", kPrivacy, rsnElement({kCipherCcmp}, {kAkmOwe}), 0},
    {"VendorAkmNamesNoKind", kPrivacy, rsnElement({kCipherCcmp}, {kAkmVendor}), 0},
    {"RsnWithoutPrivacyIsNotOpen", 0, rsnElement({kCipherCcmp}, {kAkmPsk}), maskOf({kWpa2Psk})},
    {"RsnVersionOnlyDefaultsTo8021x", kPrivacy, rawElement(element::kRsn, le16(1)), maskOf({kWpa2Eap})},
    {"WpaVersionOnlyDefaultsTo8021x", kPrivacy, vendorElement(kWpaVendorType, le16(1)), maskOf({kWpaEap})},
    {"UnknownRsnVersion", kPrivacy, rawElement(element::kRsn, join({le16(2), suite(kCipherCcmp)})), 0},
    {"WmmAndOtherVendorsAreNotWpa", kPrivacy,
     join({vendorElement(0x0050F202, le16(1)), vendorElement(0x00037F01, rsnBody({kCipherCcmp}, {kAkmPsk})),
           rawElement(element::kVendorSpecific, {0x00, 0x50, 0xF2})}),
     maskOf({kWep})},
    {"WpaTooShortForVersionIsNotWpa", kPrivacy, vendorElement(kWpaVendorType, {1}), maskOf({kWep})},
    {"RsnPastTheEndIsDropped", kPrivacy, Bytes{element::kRsn, 20, 1, 0}, maskOf({kWep})},
    {"AkmCountBeyondTheElement", kPrivacy,
     rawElement(element::kRsn, join({le16(1), suite(kCipherCcmp), suiteList({kCipherCcmp}), le16(3), suite(kAkmPsk)})), 0},
    {"PairwiseCountHuge", kPrivacy,
     rawElement(element::kRsn, join({le16(1), suite(kCipherCcmp), le16(0xFFFF), suite(kCipherCcmp)})), 0},
    {"PairwiseCountZero", kPrivacy, rawElement(element::kRsn, join({le16(1), suite(kCipherCcmp), le16(0), suiteList({kAkmPsk})})), 0},
    {"AkmCountZero", kPrivacy, rawElement(element::kRsn, join({le16(1), suite(kCipherCcmp), suiteList({kCipherCcmp}), le16(0)})), 0},
};

INSTANTIATE_TEST_SUITE_P(Rules, SecurityMaskTest, testing::ValuesIn(kSecurityCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// An RSN body cut at every length: a clean cut before a field gives that field
// its default (AKM 802.1X, no MFPR); a cut inside a field leaves AKMs unknown.
class TruncatedRsnTest : public testing::TestWithParam<std::pair<std::size_t, std::uint32_t>> {};

TEST_P(TruncatedRsnTest, KeepsWhatWasReadAndDefaultsTheRest) {
    Bytes body = rsnBody({kCipherCcmp}, {kAkmPsk, kAkm8021xSha256}, kMfpRequired);
    ASSERT_EQ(body.size(), 24U);
    body.resize(GetParam().first);
    EXPECT_EQ(securityMask(kPrivacy, rawElement(element::kRsn, body)), GetParam().second) << "cut at " << GetParam().first;
}

const std::uint32_t kDefault = maskOf({kWpa2Eap});
const std::uint32_t kAkmsNoMfpr = maskOf({kWpa2Psk, kWpa2Eap});
INSTANTIATE_TEST_SUITE_P(
    EveryLength, TruncatedRsnTest,
    testing::Values(std::pair{0, maskOf({kWep})}, std::pair{1, maskOf({kWep})}, std::pair{2, kDefault},
                    std::pair{3, 0U}, std::pair{5, 0U}, std::pair{6, kDefault}, std::pair{7, 0U}, std::pair{8, 0U},
                    std::pair{11, 0U}, std::pair{12, kDefault}, std::pair{13, 0U}, std::pair{14, 0U},
                    std::pair{17, 0U}, std::pair{18, 0U}, std::pair{21, 0U}, std::pair{22, kAkmsNoMfpr},
                    std::pair{23, kAkmsNoMfpr}, std::pair{24, maskOf({kWpa2Psk, kWpa3Eap})}));

}  // namespace
}  // namespace netmoth::ieee80211
