// Which security types a BSS offers, from its privacy bit and its RSN and WPA
// elements, malformed ones included.
#include "ElementBuilders.h"

namespace netmoth::ieee80211 {
namespace {

using namespace build;
using enum wifi::Security;

struct SecurityCase {
    const char* name;
    Bytes elements;
    wifi::SecuritySet expected;
    std::uint16_t capability = kPrivacy;
};

class SecurityTest : public testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityTest, NamesTheTypesTheElementsOffer) {
    EXPECT_EQ(networkOf(2412, GetParam().elements, GetParam().capability).security, GetParam().expected);
}

const SecurityCase kSecurityCases[] = {
    {"Open", {}, {None}, 0},
    {"FtPsk", rsnElement({kAkmFtPsk}), {Wpa2Personal}},
    {"PskSha256", rsnElement({kAkmPskSha256}), {Wpa2Personal}},
    {"MixedPskAfterTwoPairwiseCiphers",
     join({wpaElement({kWpaAkmPsk}), rsnElement({kAkmPsk}, 0, {kCipherCcmp, kCipherTkip})}),
     {WpaPersonal, WpaWpa2Personal, Wpa2Personal}},
    {"SaeWith384BitGroupOnly", rsnElement({kAkmSaeExtKey}, kMfpRequired), {Wpa3Personal}},
    {"FtSae", rsnElement({kAkmFtSae}, kMfpRequired), {Wpa3Personal}},
    {"FtSaeWith384BitGroup", rsnElement({kAkmFtSaeExtKey}, kMfpRequired), {Wpa3Personal}},
    {"MixedEap",
     join({wpaElement({kWpaAkm8021x}), rsnElement({kAkm8021x})}),
     {WpaEnterprise, WpaWpa2Enterprise, Wpa2Enterprise}},
    {"FtEap", rsnElement({kAkmFt8021x}, kMfpRequired), {Wpa2Enterprise}},
    {"EapSha256WithoutMfpr", rsnElement({kAkm8021xSha256}, kMfpCapable), {Wpa2Enterprise}},
    {"Eap1StaysWpa2WithMfpr", rsnElement({kAkm8021x, kAkm8021xSha256}, kMfpRequired), {Wpa2Enterprise, Wpa3Enterprise}},
    {"SuiteB192", rsnElement({kAkmSuiteB192}), {Wpa3Enterprise}},
    {"FtEapSha384", rsnElement({kAkmFt8021xSha384}), {Wpa3Enterprise}},
    {"WpaPskWithSaeIsNotMixed", join({wpaElement({kWpaAkmPsk}), rsnElement({kAkmSae})}), {WpaPersonal, Wpa3Personal}},
    {"OweAndVendorAkmsNameNoType", rsnElement({kAkmOwe, kAkmVendor}), {}},
    {"RsnWithoutPrivacyIsNotOpen", rsnElement({kAkmPsk}), {Wpa2Personal}, 0},
    {"WpaVersionOnlyDefaultsTo8021x", vendorElement(kWpaVendorType, le16(1)), {WpaEnterprise}},
    {"UnknownRsnVersion", rawElement(kRsn, join({le16(2), suite(kCipherCcmp)})), {}},
    {"WmmAndOtherVendorsAreNotWpaSoPrivacyIsWep",
     join({vendorElement(0x0050F202, le16(1)), vendorElement(0x00037F01, rsnBody({kAkmPsk})),
           rawElement(kVendor, {0x00, 0x50, 0xF2})}),
     {Wep}},
    {"PairwiseCountZero", rawElement(kRsn, join({le16(1), suite(kCipherCcmp), le16(0), suiteList({kAkmPsk})})), {}},
    // A WPA element too short for its version, and an RSN element shorter than
    // its minimum, are passed over; then the first of each kind counts.
    {"FirstReadableElementsCount",
     join({vendorElement(kWpaVendorType, {1}), wpaElement({kWpaAkmPsk}), wpaElement({kWpaAkm8021x}),
           rawElement(kRsn, {1}), rsnElement({kAkmPsk}), rsnElement({kAkm8021x})}),
     {WpaPersonal, WpaWpa2Personal, Wpa2Personal}},
};

INSTANTIATE_TEST_SUITE_P(Rules, SecurityTest, testing::ValuesIn(kSecurityCases), kCaseName);

TEST(Security, RsnCutAtEveryLengthKeepsWhatWasReadAndDefaultsTheRest) {
    const Bytes whole = rsnBody({kAkmPsk, kAkm8021xSha256}, kMfpRequired);
    // A clean cut before a field gives that field its default (AKM 802.1X, no
    // MFPR); a cut inside a field, a suite count or a selector leaves AKMs
    // unknown. Under 2 bytes the element is malformed and the BSS reads as WEP.
    const wifi::SecuritySet wep{Wep}, eap{Wpa2Enterprise}, none{}, noMfpr{Wpa2Personal, Wpa2Enterprise};
    const wifi::SecuritySet byLength[] = {wep,  wep,  eap,    none,   none,
                                          none, eap,  none,   none,   none,
                                          none, none, eap,    none,   none,
                                          none, none, none,   none,   none,
                                          none, none, noMfpr, noMfpr, {Wpa2Personal, Wpa3Enterprise}};
    ASSERT_EQ(std::size(byLength), whole.size() + 1);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(networkOf(2412, rawElement(kRsn, cut)).security, byLength[length]) << length;
    }
}

}  // namespace
}  // namespace netmoth::ieee80211
