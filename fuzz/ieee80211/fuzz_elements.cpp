// Arbitrary bytes as a BSS: two bytes of capability field, two of frequency
// (covering every band), the rest as information elements. Checks that every
// derived value stays inside what the wifi values allow and that the security
// set obeys the rules tying its members together.

#include <utf8proc.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "ieee80211/Bss.h"

namespace {

using namespace netmoth;
using wifi::Security;

void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

void checkSecurity(const wifi::SecuritySet& set) {
    const auto has = [&set](Security member) { return set.contains(member); };
    require(!has(Security::DynamicWep), "dynamic WEP is never derived from elements");
    require(has(Security::WpaWpa2Personal) == (has(Security::WpaPersonal) && has(Security::Wpa2Personal)),
            "WPA/WPA2 personal exactly when WPA and WPA2 personal");
    require(has(Security::WpaWpa2Enterprise) == (has(Security::WpaEnterprise) && has(Security::Wpa2Enterprise)),
            "WPA/WPA2 enterprise exactly when WPA and WPA2 enterprise");
    for (const Security unprotected : {Security::None, Security::Wep}) {
        require(!has(unprotected) || set == wifi::SecuritySet{unprotected}, "None or WEP stand alone");
    }
}

void checkChannel(const std::optional<wifi::Channel>& channel) {
    require(channel.has_value(), "a frequency gives a channel");
    constexpr std::uint32_t kWidths[] = {20, 40, 80, 160, 320};
    constexpr std::uint32_t kBands[] = {0, 2400, 5000, 6000};
    require(std::ranges::find(kWidths, channel->widthMHz) != std::end(kWidths), "width in 20, 40, 80, 160, 320");
    require(std::ranges::find(kBands, channel->bandMHz) != std::end(kBands), "band in 0, 2400, 5000, 6000");
    require(channel->number >= 0 && channel->number <= 255, "channel number within 0..255");
}

// Judged by utf8proc's own decoder, independent of the one under test.
void checkName(const std::optional<std::string>& name) {
    if (!name) return;
    require(!name->empty(), "a derived name is never empty");
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(name->data());
    for (auto left = static_cast<utf8proc_ssize_t>(name->size()); left > 0;) {
        utf8proc_int32_t codePoint = 0;
        const auto used = utf8proc_iterate(bytes, left, &codePoint);
        require(used > 0, "a derived name is valid UTF-8");
        bytes += used;
        left -= used;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    ieee80211::RadioFacts facts;
    facts.capability = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    facts.frequencyMHz = static_cast<std::uint32_t>(data[2] | data[3] << 8);
    facts.elements = wifi::Bytes(data + 4, data + size);

    const wifi::Network network = ieee80211::networkFrom(facts);
    checkSecurity(network.security);
    checkChannel(network.channel);
    require(!network.highestPhyMode || *network.highestPhyMode != wifi::PhyMode::None, "a proven mode is a mode");
    checkName(network.ssid);
    checkName(ieee80211::ssidText(*facts.elements));
    return 0;
}
