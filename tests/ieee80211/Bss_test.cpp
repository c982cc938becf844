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

// Hex digits to bytes; anything else (the spaces and commas that set off
// each element's ID, length and body) is skipped.
Bytes bytesOf(const std::string& hex) {
    Bytes bytes;
    std::string digits;
    for (const char c : hex) digits += std::isxdigit(static_cast<unsigned char>(c)) ? std::string(1, c) : "";
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

wifi::Network networkOf(std::uint32_t frequency, const Bytes& elements, std::uint16_t capability = 0x0010) {
    RadioFacts facts;
    facts.frequencyMHz = frequency;
    facts.capability = capability;
    facts.elements = elements;
    return networkFrom(facts);
}

// Each row of bss-cases.json: a BSS on "frequency" with "elements" (hex, each
// element's ID, length and body, RSN and WPA bodies split at their fields) and "capability" (default 0x10,
// privacy) gives each of the values the row names. An RSN element cut before a
// field gives that field its default (AKM 802.1X, no MFPR); a cut inside a
// field, a suite count or a selector leaves AKMs unknown; under 2 bytes the
// element is malformed and the BSS reads as WEP. An SSID is UTF-8, else
// Windows-1252, else no name.
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

}  // namespace
}  // namespace netmoth::ieee80211
