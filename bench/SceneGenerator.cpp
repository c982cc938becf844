// Writes a scene of a dense venue to standard output, for the scaling runs:
//   netmoth_scene_generator <networks> <explicit|radio>
// Every tenth network is hidden. "explicit" gives channel, security and PHY
// modes as values; "radio" gives frequency and capability instead, so the
// helper's element decoder derives them.

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "util/Base64.h"
#include "support/RealisticElements.h"

namespace {

using netmoth::bench::Band;

enum class Variant { Explicit, Radio };

// A venue repeats a few names over many access points; one is not ASCII.
constexpr std::array<std::string_view, 4> kNames = {"Venue-Guest", "Venue-Staff", "eduroam",
                                                    "Caf\xc3\xa9 Lumi\xc3\xa8re"};

bool isHidden(std::uint64_t index) { return index % 10 == 9; }

Band bandOf(std::uint64_t index) { return index % 3 == 0 ? Band::TwoGHz : Band::FiveGHz; }

// Locally administered and unique for the first 2^40 networks.
std::string bssidOf(std::uint64_t index) {
    char text[18];
    std::snprintf(text, sizeof text, "02:%02x:%02x:%02x:%02x:%02x", static_cast<unsigned>(index >> 32 & 0xff),
                  static_cast<unsigned>(index >> 24 & 0xff), static_cast<unsigned>(index >> 16 & 0xff),
                  static_cast<unsigned>(index >> 8 & 0xff), static_cast<unsigned>(index & 0xff));
    return text;
}

std::string explicitValues(Band band) {
    return band == Band::TwoGHz ? R"("channel":{"number":6,"band":1,"width":1},"security":[4,11],"phyModes":[2,3,4])"
                                : R"("channel":{"number":36,"band":2,"width":3},"security":[4,11],"phyModes":[1,4,5])";
}

std::string radioValues(const netmoth::ieee80211::RadioFacts& facts) {
    return R"("frequency":)" + std::to_string(facts.frequencyMHz.value()) + R"(,"capability":)" +
           std::to_string(facts.capability);
}

std::string network(std::uint64_t index, Variant variant) {
    const Band band = bandOf(index);
    const std::string_view name = isHidden(index) ? std::string_view{} : kNames[index % kNames.size()];
    const netmoth::ieee80211::RadioFacts facts = netmoth::bench::realisticBss(band, name);
    std::string text = "{";
    if (!name.empty()) text += R"("ssid":")" + std::string(name) + "\",";
    text += R"("bssid":")" + bssidOf(index) + R"(","rssi":-)" + std::to_string(30 + index % 60);
    text += R"(,"ie":")" + netmoth::util::encodeBase64(facts.elements.value()) + "\",";
    text += variant == Variant::Explicit ? explicitValues(band) : radioValues(facts);
    return text + "}";
}

void writeScene(std::uint64_t count, Variant variant) {
    std::cout << R"({"defaultInterface":0,"interfaces":[{"name":"wlan0","ssid":"Venue-Guest","bssid":")" << bssidOf(0)
              << R"(","rssi":-48,"scan":{"networks":[)";
    for (std::uint64_t i = 0; i < count; ++i) std::cout << (i == 0 ? "\n" : ",\n") << network(i, variant);
    std::cout << "\n]}}]}\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t count = 0;
    const std::string_view countText = argc == 3 ? argv[1] : "";
    const auto parsed = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    const std::string_view variantText = argc == 3 ? argv[2] : "";
    if (countText.empty() || parsed.ec != std::errc{} || parsed.ptr != countText.data() + countText.size() ||
        (variantText != "explicit" && variantText != "radio")) {
        std::cerr << "usage: netmoth_scene_generator <networks> <explicit|radio>\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    writeScene(count, variantText == "explicit" ? Variant::Explicit : Variant::Radio);
    return std::cout.good() ? 0 : 1;
}
