// What a BSS offers, from its frequency, privacy bit and elements: channel,
// width, PHY modes, security types and name, malformed elements included.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "ieee80211/Bss.h"

namespace netmoth::ieee80211 {
namespace {

using nlohmann::json;
using wifi::Bytes;
using enum wifi::Security;

// Hex digits to bytes; anything else (the spaces and commas that set off
// each element's ID, length and body) is skipped.
Bytes bytesOf(const std::string& hex) {
    Bytes bytes;
    std::string digits;
    for (const char c : hex) digits += std::isxdigit(static_cast<unsigned char>(c)) ? std::string(1, c) : "";
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

wifi::Network networkOf(std::uint32_t frequency, const Bytes& elements, std::uint16_t capability = 0x0010) {
    RadioFacts facts;
    facts.frequencyMHz = frequency;
    facts.capability = capability;
    facts.elements = elements;
    return networkFrom(facts);
}

// Each row of bss-cases.json: a BSS on "frequency" with "elements" (hex,
// written from the standard's frame layouts) and "capability" (default 0x10,
// privacy) gives each of the values the row names.
TEST(Bss, EachCaseOfTheTable) {
    const char* const phyModes[] = {"None", "A", "B", "G", "N", "AC", "AX"};
    const char* const securityTypes[] = {
        "None",         "Wep",           "WpaPersonal",       "WpaWpa2Personal", "Wpa2Personal",
        "Wpa3Personal", "WpaEnterprise", "WpaWpa2Enterprise", "Wpa2Enterprise",  "Wpa3Enterprise",
        "DynamicWep"};
    for (const json& row : json::parse(std::ifstream(NETMOTH_BSS_CASES))) {
        const wifi::Network network = networkOf(row.at("frequency"), bytesOf(row.value("elements", "")),
                                                row.value("capability", std::uint16_t{0x0010}));
        const std::optional<wifi::Channel> channel = network.channel;
        json types = json::array();
        for (std::size_t i = 0; i < std::size(securityTypes); ++i) {
            if (network.security.contains(static_cast<wifi::Security>(i))) types.push_back(securityTypes[i]);
        }
        // The row as this BSS fills it in: each value the row names, as decoded.
        json seen = row;
        for (const auto& [key, value] :
             {std::pair<const char*, json>{
                  "channel", channel ? json{channel->number, channel->widthMHz, channel->bandMHz} : json()},
              {"number", channel ? json(channel->number) : json()},
              {"width", channel ? json(channel->widthMHz) : json()},
              {"phy", network.highestPhyMode ? json(phyModes[static_cast<int>(*network.highestPhyMode)]) : json()},
              {"security", types},
              {"ssid", network.ssid ? json(*network.ssid) : json()}}) {
            if (row.contains(key)) seen[key] = value;
        }
        EXPECT_EQ(seen, row);
    }
}

TEST(Bss, RsnCutAtEveryLengthKeepsWhatWasReadAndDefaultsTheRest) {
    // Version 1, group CCMP, pairwise CCMP, AKMs PSK and 802.1X-SHA256, MFP required.
    const Bytes whole = bytesOf("0100 000fac04 0100 000fac04 0200 000fac02 000fac05 c000");
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
        Bytes element{48, static_cast<std::uint8_t>(length)};
        element.insert(element.end(), whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(networkOf(2412, element).security, byLength[length]) << length;
    }
}

TEST(Bss, NetworkPassesTheFactsThroughAndNamesItFromTheFirstSsid) {
    RadioFacts facts;
    facts.bssid = "02:00:00:00:00:01";
    facts.signalDbm = -47;
    // HT capabilities, then an SSID of 40 bytes (longer than allowed: kept), then another.
    Bytes elements = bytesOf("2d 1a" + std::string(52, '0') + ", 00 28");
    elements.insert(elements.end(), 40, 'n');
    const Bytes two = bytesOf("00 03 74776f");
    elements.insert(elements.end(), two.begin(), two.end());
    facts.elements = elements;
    const auto network = networkFrom(facts);
    EXPECT_EQ(std::tie(network.bssid, network.rssi, network.elements),
              std::tie(facts.bssid, facts.signalDbm, facts.elements));
    EXPECT_EQ(network.ssid, std::string(40, 'n'));
    EXPECT_FALSE(network.channel || network.highestPhyMode);  // both need the frequency
    facts.ssid = "given";
    EXPECT_EQ(networkFrom(facts).ssid, "given");
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
