#pragma once
// One walk over a BSS's information elements, after hostap's
// ieee802_11_parse_elems: the walk keeps a view of every element a decoder
// reads, and each decoder below reads those views, never the bytes again.

#include <cstdint>
#include <optional>
#include <vector>

#include "ieee80211/ByteReader.h"
#include "wifi/Values.h"

namespace netmoth::ieee80211 {

// Payloads of the elements that passed the walk's length bounds, in the order
// received. Where a decoder takes "the first" element, it is the first one
// that passed; where it takes all of them (rates, operations), all are kept.
struct Elements {
    std::optional<ByteView> ssid;
    std::optional<std::uint8_t> dsChannel;  // the DS Parameter Set's channel
    std::optional<ByteView> rsn;
    std::vector<ByteView> wpa;    // WPA vendor bodies, after the OUI and type
    std::vector<ByteView> rates;  // supported and extended supported rates
    bool erp = false;
    bool htCapabilities = false;
    bool vhtCapabilities = false;
    bool heCapabilities = false;
    std::vector<ByteView> htOperations;
    std::vector<ByteView> vhtOperations;
    std::vector<ByteView> heOperations;   // after the extension ID
    std::vector<ByteView> ehtOperations;  // after the extension ID
};

// An element whose length runs past the end stops the walk; one whose length
// is outside the bounds known for its kind is left out.
Elements parseElements(ByteView bytes);

// What the BSS offers, from its capability field's privacy bit and its RSN
// and WPA elements.
wifi::SecuritySet securityFrom(std::uint16_t capability, const Elements& elements);

inline constexpr std::uint32_t kBand2GHz = 2400, kBand5GHz = 5000, kBand6GHz = 6000;

// kBand2GHz, kBand5GHz or kBand6GHz inside the channel ranges of that band, else 0.
std::uint32_t bandMHzFor(std::uint32_t frequencyMHz);

// Number from the frequency (the BSS's own word outside the known bands),
// width the widest any operation element announces (20 without one).
wifi::Channel channelFrom(std::uint32_t frequencyMHz, const Elements& elements);

// The greatest PHY mode the band, rates and capability elements prove.
std::optional<wifi::PhyMode> highestPhyModeFrom(std::uint32_t frequencyMHz, const Elements& elements);

}  // namespace netmoth::ieee80211
