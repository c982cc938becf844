// Arbitrary bytes as a BSS: two bytes of capability field, two of frequency
// (covering every band), the rest as information elements. Every derived
// value stays inside what the wifi values allow, and the security set obeys
// the rules tying its members together.
#include <algorithm>
#include <cstdint>

#include "FuzzCheck.h"
#include "ieee80211/Bss.h"

using namespace netmoth;
using enum wifi::Security;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    ieee80211::RadioFacts facts;
    facts.capability = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    facts.frequencyMHz = static_cast<std::uint32_t>(data[2] | data[3] << 8);
    facts.elements = wifi::Bytes(data + 4, data + size);
    const wifi::Network network = ieee80211::networkFrom(facts);
    const auto has = [&network](wifi::Security member) { return network.security.contains(member); };
    require(!has(DynamicWep), "dynamic WEP is never derived from elements");
    require(has(WpaWpa2Personal) == (has(WpaPersonal) && has(Wpa2Personal)), "WPA/WPA2 personal is both");
    require(has(WpaWpa2Enterprise) == (has(WpaEnterprise) && has(Wpa2Enterprise)), "WPA/WPA2 enterprise is both");
    require(!has(None) || network.security == wifi::SecuritySet{None}, "None stands alone");
    require(!has(Wep) || network.security == wifi::SecuritySet{Wep}, "WEP stands alone");
    const std::uint32_t widths[] = {20, 40, 80, 160, 320}, bands[] = {0, 2400, 5000, 6000};
    require(network.channel && std::ranges::count(widths, network.channel->widthMHz) == 1 &&
                std::ranges::count(bands, network.channel->bandMHz) == 1 && network.channel->number >= 0 &&
                network.channel->number <= 255,
            "a frequency gives a channel of a known width and band, numbered 0..255");
    require(network.highestPhyMode != wifi::PhyMode::None, "a proven mode is a mode");
    for (const auto& name : {network.ssid, ieee80211::ssidText(*facts.elements)})
        require(!name || (!name->empty() && isValidUtf8(*name)), "a derived name is non-empty valid UTF-8");
    return 0;
}
