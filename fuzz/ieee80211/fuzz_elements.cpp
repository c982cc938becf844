// Arbitrary bytes as a BSS: two bytes of capability field, two of frequency
// (covering every band), the rest as information elements. Checks that every
// decoded value stays inside the platform's codes and that the masks obey the
// rules tying their values together.

#include <utf8proc.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/ieee80211/ElementDecoder.h"
#include "platform/ieee80211/PlatformValues.h"

namespace {

using namespace netmoth::ieee80211;

void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

constexpr std::uint32_t kDefinedSecurity = 0x1B9FU;  // values 0..4, 7..9, 11, 12
constexpr std::uint32_t kDefinedPhyModes = 0xFEU;    // values 1..7

void checkSecurity(std::uint32_t mask) {
    const auto has = [mask](int value) { return maskHas(mask, value); };
    require((mask & ~kDefinedSecurity) == 0, "security bits are defined values");
    require(has(security::kWpaWpa2Psk) == (has(security::kWpaPsk) && has(security::kWpa2Psk)),
            "WPA/WPA2-PSK exactly when WPA-PSK and WPA2-PSK");
    require(has(security::kWpaWpa2Eap) == (has(security::kWpaEap) && has(security::kWpa2Eap)),
            "WPA/WPA2-EAP exactly when WPA-EAP and WPA2-EAP");
    const bool unprotected = has(security::kNone) || has(security::kWep);
    require(!unprotected || (mask & (mask - 1)) == 0, "None or WEP stand alone");
}

void checkChannel(const netmoth::platform::WiFiChannel& channel) {
    require(channel.channelWidth >= 1 && channel.channelWidth <= 4, "width code within 1..4");
    require(channel.channelBand >= 0 && channel.channelBand <= 3, "band code within 0..3");
    require(channel.channelNumber >= 0 && channel.channelNumber <= 255, "channel number within 0..255");
}

// Judged by utf8proc's own decoder, independent of the one under test.
void checkName(const std::optional<std::string>& name) {
    if (!name) return;
    require(!name->empty(), "a decoded name is never empty");
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(name->data());
    for (auto left = static_cast<utf8proc_ssize_t>(name->size()); left > 0;) {
        utf8proc_int32_t codePoint = 0;
        const auto used = utf8proc_iterate(bytes, left, &codePoint);
        require(used > 0, "a decoded name is valid UTF-8");
        bytes += used;
        left -= used;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const auto capability = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    const auto frequency = static_cast<std::uint32_t>(data[2] | data[3] << 8);
    const ElementBytes elements(data + 4, size - 4);

    checkSecurity(securityMask(capability, elements));
    require((phyModeMask(frequency, elements) & ~kDefinedPhyModes) == 0, "PHY mode bits within 1..7");
    checkChannel(channelFor(frequency, elements));
    checkName(ssidFromElements(elements));
    checkName(ssidText(elements));
    return 0;
}
