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

// Each row of bss-cases.json: a BSS on "frequency" (absent: unknown) with
// "elements" (hex, each element's ID, length and body, RSN and WPA bodies split
// at their fields), "capability" (default 0x10, privacy) and "givenSsid" gives
// each of the values the row names, and passes its BSSID, signal and elements
// through. An RSN element cut before a field gives that field its default (AKM
// 802.1X, no MFPR); a cut inside a field, a suite count or a selector leaves
// AKMs unknown; under 2 bytes the element is malformed and the BSS reads as
// WEP. An SSID is UTF-8, else Windows-1252, else no name.
TEST(Bss, EachCaseOfTheTable) {
    const char* const phyModes[] = {"None", "A", "B", "G", "N", "AC", "AX"};
    const char* const securityTypes[] = {
        "None",         "Wep",           "WpaPersonal",       "WpaWpa2Personal", "Wpa2Personal",
        "Wpa3Personal", "WpaEnterprise", "WpaWpa2Enterprise", "Wpa2Enterprise",  "Wpa3Enterprise",
        "DynamicWep"};
    for (const json& row : json::parse(std::ifstream(NETMOTH_BSS_CASES))) {
        RadioFacts facts;
        facts.bssid = "02:00:00:00:00:01";
        facts.signalDbm = -47;
        facts.capability = row.value("capability", std::uint16_t{0x0010});
        facts.elements = bytesOf(row.value("elements", ""));
        if (row.contains("frequency")) facts.frequencyMHz = row["frequency"];
        if (row.contains("givenSsid")) facts.ssid = row["givenSsid"];
        const wifi::Network network = networkFrom(facts);
        EXPECT_EQ(std::tie(network.bssid, network.rssi, network.elements),
                  std::tie(facts.bssid, facts.signalDbm, facts.elements));
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

}  // namespace
}  // namespace netmoth::ieee80211
