// What a BSS offers, from its frequency, privacy bit and elements: channel,
// width, PHY modes, security types and name, malformed elements included.
// Element bytes are assembled from named fields in the order the standard lays
// them out, so each case reads as the frame it describes; the numbers are
// written here from the standard, not taken from the decoder.
#include <gtest/gtest.h>

#include "ieee80211/Bss.h"

namespace netmoth::ieee80211 {
namespace {

using wifi::Bytes;
using wifi::PhyMode;
using enum wifi::Security;

enum : std::uint8_t { kSsid = 0, kRates = 1, kDsParameterSet = 3, kErp = 42, kHtCapabilities = 45, kRsn = 48 };
enum : std::uint8_t { kExtendedRates = 50, kHtOperation = 61, kVhtCapabilities = 191, kVhtOperation = 192 };
enum : std::uint8_t { kVendor = 221, kExtension = 255, kHeCapabilities = 35, kHeOperation = 36, kEhtOperation = 106 };
// Suite selectors: OUI then type.
enum : std::uint32_t { kCipherTkip = 0x000FAC02, kCipherCcmp = 0x000FAC04 };
enum : std::uint32_t { kAkm8021x = 0x000FAC01, kAkmPsk, kAkmFt8021x, kAkmFtPsk, kAkm8021xSha256, kAkmPskSha256 };
enum : std::uint32_t { kAkmSae = 0x000FAC08, kAkmFtSae, kAkmSuiteB192 = 0x000FAC0C, kAkmFt8021xSha384 };
enum : std::uint32_t { kAkmOwe = 0x000FAC12, kAkmSaeExtKey = 0x000FAC18, kAkmFtSaeExtKey, kAkmVendor = 0x00904C01 };
enum : std::uint32_t { kWpaVendorType = 0x0050F201, kWpaAkm8021x = 0x0050F201, kWpaAkmPsk = 0x0050F202 };
// Capability field and RSN capabilities bits; MFP required implies capable.
constexpr std::uint16_t kPrivacy = 0x0010, kMfpCapable = 0x0080, kMfpRequired = 0x00C0;
constexpr std::uint8_t kSecondaryAbove = 1, kSecondaryBelow = 3;  // HT secondary channel offsets

wifi::Network networkOf(std::uint32_t frequency, const Bytes& elements, std::uint16_t capability = kPrivacy) {
    RadioFacts facts;
    facts.frequencyMHz = frequency;
    facts.capability = capability;
    facts.elements = elements;
    return networkFrom(facts);
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}
using u8 = std::uint8_t;  // functional casts keep the byte lists short
Bytes rawElement(u8 id, const Bytes& payload) { return join({{id, u8(payload.size())}, payload}); }
Bytes extensionElement(u8 id, const Bytes& body) { return rawElement(kExtension, join({{id}, body})); }
Bytes le16(std::uint16_t value) { return {u8(value), u8(value >> 8)}; }
Bytes suite(std::uint32_t selector) {
    return {u8(selector >> 24), u8(selector >> 16), u8(selector >> 8), u8(selector)};
}
Bytes suiteList(const std::vector<std::uint32_t>& selectors) {
    Bytes out = le16(static_cast<std::uint16_t>(selectors.size()));
    for (const auto selector : selectors) out = join({out, suite(selector)});
    return out;
}
Bytes vendorElement(std::uint32_t ouiAndType, const Bytes& body) {
    return rawElement(kVendor, join({suite(ouiAndType), body}));
}
// The element with its length field set to `length`, cut or padded with zeros.
Bytes resized(Bytes element, std::uint8_t length) {
    element.resize(2U + length);
    element[1] = length;
    return element;
}
// Version, group cipher, pairwise list, AKM list, RSN capabilities.
Bytes rsnBody(const std::vector<std::uint32_t>& akms, std::uint16_t capabilities = 0,
              const std::vector<std::uint32_t>& pairwise = {kCipherCcmp}) {
    return join({le16(1), suite(kCipherCcmp), suiteList(pairwise), suiteList(akms), le16(capabilities)});
}
Bytes rsnElement(const std::vector<std::uint32_t>& akms, std::uint16_t capabilities = 0,
                 const std::vector<std::uint32_t>& pairwise = {kCipherCcmp}) {
    return rawElement(kRsn, rsnBody(akms, capabilities, pairwise));
}
// The WPA element has the RSN layout with Microsoft's OUI in the selectors.
Bytes wpaElement(const std::vector<std::uint32_t>& akms) {
    constexpr std::uint32_t kWpaTkip = 0x0050F202;
    return vendorElement(kWpaVendorType, join({le16(1), suite(kWpaTkip), suiteList({kWpaTkip}), suiteList(akms)}));
}
Bytes ssidElement(std::string_view name) { return rawElement(kSsid, Bytes(name.begin(), name.end())); }
Bytes dsParameterSet(std::uint8_t channel) { return rawElement(kDsParameterSet, {channel}); }
// Capability elements of the smallest valid size unless told otherwise.
Bytes htCapabilities(std::size_t size = 26) { return rawElement(kHtCapabilities, Bytes(size, 0)); }
Bytes vhtCapabilities() { return rawElement(kVhtCapabilities, Bytes(12, 0)); }
Bytes heCapabilities(std::size_t size = 21) { return extensionElement(kHeCapabilities, Bytes(size, 0)); }
Bytes htOperation(u8 secondaryOffset, bool anyWidth, u8 primary = 36) {
    return resized(rawElement(kHtOperation, {primary, u8(secondaryOffset | (anyWidth ? 0x04 : 0))}), 22);
}
// Channel width, CCFS0, CCFS1, then the basic VHT-MCS and NSS set.
Bytes vhtOperation(u8 width, u8 ccfs0, u8 ccfs1) {
    return rawElement(kVhtOperation, {width, ccfs0, ccfs1, 0xFC, 0xFF});
}
// HE operation parameters (presence bits in their 2nd and 3rd byte), BSS
// colour, basic HE-MCS and NSS set, then the parts the presence bits announce.
enum : std::uint16_t { kVhtInfoPresent = 0x0040, kCoHosted = 0x0080, kSixGHzInfoPresent = 0x0200 };
Bytes heOperation(std::uint16_t presence, const Bytes& parts) {
    return extensionElement(kHeOperation, join({{0x04}, le16(presence), {0, 0xFC, 0xFF}, parts}));
}
// Primary channel, control (width), CCFS0, CCFS1, minimum rate.
Bytes sixGHzInfo(u8 width) { return {37, width, 39, 0, 6}; }
// EHT operation parameters, basic EHT-MCS and NSS set, then the control
// (width), CCFS0, CCFS1 the parameters flag as present.
Bytes ehtOperation(u8 width, bool informationPresent = true) {
    return extensionElement(kEhtOperation, {u8(informationPresent), 0x11, 0x11, 0x11, 0x11, width, 47, 31});
}

// A table row: a BSS on that frequency with those elements gives `expected`.
template <typename Expected>
struct RadioCase {
    const char* name;
    std::uint32_t frequency;
    Bytes elements;
    Expected expected;
};

TEST(Channel, NumbersAndBandsEachRangeEdgeAndTheAnnouncedChannelWhenTheBandIsUnknown) {
    const std::tuple<std::uint32_t, std::int64_t, std::uint32_t> edges[] = {
        // frequency, number, band
        {2412, 1, 2400},   {2472, 13, 2400}, {2484, 14, 2400},  {2411, 0, 0},      {2477, 0, 0},
        {4910, 182, 5000}, {5000, 0, 5000},  {5180, 36, 5000},  {5895, 179, 5000}, {5900, 0, 0},
        {5935, 2, 6000},   {5955, 1, 6000},  {7115, 233, 6000}, {7120, 0, 0}};
    for (const auto& [frequency, number, band] : edges) {
        EXPECT_EQ(networkOf(frequency, {}).channel, (wifi::Channel{number, 20, band})) << frequency;
    }
    const Bytes longDsParameterSet = rawElement(kDsParameterSet, {1, 2});
    EXPECT_EQ(networkOf(0, join({htOperation(0, false, 11), dsParameterSet(6), dsParameterSet(7)})).channel->number, 6);
    EXPECT_EQ(
        networkOf(0, join({longDsParameterSet, htOperation(0, false, 11), htOperation(0, false, 9)})).channel->number,
        11);
    EXPECT_EQ(networkOf(2437, dsParameterSet(1)).channel->number, 6);  // the frequency wins when known
}

TEST(Channel, TakesTheWidestAnnouncedWidth) {
    // VHT information (80 MHz), a co-hosted BSS and 6 GHz information (160 MHz): 15 bytes, the most it holds.
    const Bytes fullHeOperation =
        heOperation(kVhtInfoPresent | kCoHosted | kSixGHzInfoPresent, join({{1, 42, 0}, {3}, sixGHzInfo(3)}));
    const RadioCase<std::uint32_t> cases[] = {
        {"HtAbove", 2437, htOperation(kSecondaryAbove, true), 40},
        {"HtBelow", 5200, htOperation(kSecondaryBelow, true), 40},
        {"HtOffsetWithoutAnyWidth", 2437, htOperation(kSecondaryAbove, false), 20},
        {"HtReservedOffset", 2437, htOperation(2, true), 20},
        {"Vht20Or40AndShortVhtDeferToHt", 5180,
         join({htOperation(kSecondaryAbove, true), vhtOperation(0, 0, 0), rawElement(kVhtOperation, {1, 42, 0, 0xFC})}),
         40},
        {"OperationsOneByteOutsideTheirBoundsAreSkipped", 5955,
         join({resized(htOperation(kSecondaryAbove, true), 21), resized(htOperation(kSecondaryAbove, true), 23),
               resized(fullHeOperation, 17), resized(ehtOperation(4), 12)}),
         20},
        {"Vht80", 5180, vhtOperation(1, 42, 0), 80},
        {"Vht160BySecondSegment", 5180, vhtOperation(1, 42, 50), 160},
        {"Vht80Plus80", 5180, vhtOperation(1, 42, 155), 160},
        {"VhtOverlappingSegmentsStay80", 5180, vhtOperation(1, 42, 54), 80},
        {"VhtDeprecated160", 5180, vhtOperation(2, 50, 0), 160},
        {"VhtDeprecated80Plus80", 5180, vhtOperation(3, 42, 155), 160},
        {"VhtOn24Ignored", 2437,
         join({htOperation(kSecondaryAbove, true), vhtOperation(1, 42, 0), heOperation(kVhtInfoPresent, {1, 42, 0})}),
         40},
        {"He6GHz160", 5955, heOperation(kSixGHzInfoPresent, sixGHzInfo(3)), 160},
        {"HeSixGHzAfterVhtInfoAndCoHosted", 5955,
         heOperation(kVhtInfoPresent | kCoHosted | kSixGHzInfoPresent, join({{0, 0, 0}, {3}, sixGHzInfo(2)})), 80},
        {"HeVhtInfo", 5180, heOperation(kVhtInfoPresent, {1, 42, 0}), 80},
        {"HeSixGHzInfoCutShort", 5955, heOperation(kSixGHzInfoPresent, {37, 3, 39, 0}), 20},
        {"Eht320", 5955, ehtOperation(4), 320},
        {"EhtInformationNotFlagged", 5955, ehtOperation(4, false), 20},
        {"EhtReservedWidth", 5955, ehtOperation(5), 20}};
    for (const auto& row : cases)
        EXPECT_EQ(networkOf(row.frequency, row.elements).channel->widthMHz, row.expected) << row.name;
}

TEST(PhyMode, ReportsTheGreatestModeProven) {
    constexpr std::uint8_t kBasic = 0x80;
    const Bytes ofdmRates = {12 | kBasic, 18, 24 | kBasic, 36, 48, 72, 96, 108};
    const Bytes dsss = rawElement(kRates, {2 | kBasic, 4 | kBasic, 11, 22}), ofdm = rawElement(kRates, ofdmRates);
    const RadioCase<std::optional<PhyMode>> cases[] = {
        {"DsssIsB", 2412, join({dsss, rawElement(kErp, {})}), PhyMode::B},
        {"OfdmInExtendedRatesIsG", 2412, join({dsss, rawElement(kExtendedRates, ofdmRates)}), PhyMode::G},
        {"BasicBitMaskedOff", 2412, rawElement(kRates, {12 | kBasic, 108 | kBasic}), PhyMode::G},
        {"ErpWithoutOfdmRates", 2484, join({dsss, rawElement(kErp, {0})}), PhyMode::G},
        {"VhtOn24IsVendorNotAc", 2437, join({ofdm, htCapabilities(), vhtCapabilities()}), PhyMode::N},
        {"DsssRatesOn5AreNotB", 5180, dsss, std::nullopt},
        {"OfdmOn5IsA", 5180, ofdm, PhyMode::A},
        {"VhtOn5IsAc", 5500, join({ofdm, htCapabilities(), vhtCapabilities()}), PhyMode::AC},
        {"HeAfterAnEmptyExtension", 5500, join({rawElement(kExtension, {}), heCapabilities(), vhtCapabilities()}),
         PhyMode::AX},
        {"SixGHzIsHeOnly", 5955, join({ofdm, vhtCapabilities()}), std::nullopt},
        {"MisSizedCapabilitiesAreSkipped", 5180,
         join({htCapabilities(25), heCapabilities(20), heCapabilities(55), resized(vhtCapabilities(), 11)}),
         std::nullopt},
        {"UnknownBandKeepsOnlyBandFreeModes", 0, join({ofdm, htCapabilities(), vhtCapabilities()}), PhyMode::N}};
    for (const auto& row : cases)
        EXPECT_EQ(networkOf(row.frequency, row.elements).highestPhyMode, row.expected) << row.name;
}

TEST(Security, NamesTheTypesTheElementsOffer) {
    const struct {
        const char* name;
        Bytes elements;
        wifi::SecuritySet expected;
        std::uint16_t capability = kPrivacy;
    } cases[] = {
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
        {"Eap1StaysWpa2WithMfpr",
         rsnElement({kAkm8021x, kAkm8021xSha256}, kMfpRequired),
         {Wpa2Enterprise, Wpa3Enterprise}},
        {"SuiteB192", rsnElement({kAkmSuiteB192}), {Wpa3Enterprise}},
        {"FtEapSha384", rsnElement({kAkmFt8021xSha384}), {Wpa3Enterprise}},
        {"WpaPskWithSaeIsNotMixed",
         join({wpaElement({kWpaAkmPsk}), rsnElement({kAkmSae})}),
         {WpaPersonal, Wpa3Personal}},
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
         {WpaPersonal, WpaWpa2Personal, Wpa2Personal}}};
    for (const auto& row : cases)
        EXPECT_EQ(networkOf(2412, row.elements, row.capability).security, row.expected) << row.name;
}

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

TEST(Walk, LengthPastTheEndStopsTheWalkButKeepsWhatCameBefore) {
    // The bytes after a bad length are not read as elements of their own.
    EXPECT_EQ(networkOf(2412, join({{kSsid, 5}, ssidElement("x")})).ssid, std::nullopt);
    const auto network = networkOf(2412, join({ssidElement("kept"), {kRsn, 255}, rsnBody({kAkmPsk})}));
    EXPECT_EQ(network.ssid, "kept");
    EXPECT_EQ(network.security, wifi::SecuritySet{Wep});
}

TEST(Walk, NetworkPassesTheFactsThroughAndNamesItFromTheFirstSsid) {
    RadioFacts facts;
    facts.bssid = "02:00:00:00:00:01";
    facts.signalDbm = -47;
    facts.elements = join({htCapabilities(), ssidElement(std::string(40, 'n')), ssidElement("two")});
    const auto network = networkFrom(facts);
    EXPECT_EQ(std::tie(network.bssid, network.rssi, network.elements),
              std::tie(facts.bssid, facts.signalDbm, facts.elements));
    EXPECT_EQ(network.ssid, std::string(40, 'n'));            // longer than allowed: kept
    EXPECT_FALSE(network.channel || network.highestPhyMode);  // both need the frequency
    facts.ssid = "given";
    EXPECT_EQ(networkFrom(facts).ssid, "given");
    EXPECT_EQ(networkOf(2412, dsParameterSet(1)).ssid, std::nullopt);
}

TEST(SsidText, DecodesAsUtf8ThenWindows1252) {
    const std::pair<Bytes, std::optional<std::string>> cases[] = {
        {{}, std::nullopt},
        {{0, 0, 0}, std::nullopt},
        {{'a', 0, 'b'}, std::string("a\0b", 3)},
        {{'C', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x93, 0xB6}, "C\u00e9\u20ac\U0001F4F6"},
        {{0x80, 0x8A, 0x99, 0x9A, 0x9F, 0xA0, 0xFF}, "\u20ac\u0160\u2122\u0161\u0178\u00a0\u00ff"},
        {{'a', 0xE2, 0x82}, "a\u00e2\u201a"}};  // a truncated sequence
    for (const auto& [bytes, text] : cases) EXPECT_EQ(ssidText(bytes), text) << text.value_or("(none)");
    // Bytes without a Windows-1252 character give no name.
    for (const std::uint8_t undefined : Bytes{0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(ssidText(Bytes{0xE9, undefined}), std::nullopt) << int{undefined};
    }
}

}  // namespace
}  // namespace netmoth::ieee80211
