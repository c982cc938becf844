#include "nl80211/Messages.h"

#include <linux/nl80211.h>
#include <netlink/attr.h>

#include <array>
#include <climits>
#include <cstring>

namespace netmoth::nl80211 {
namespace {

constexpr std::uint16_t kMacLength = 6;
constexpr std::uint16_t kMaxSsidLength = 32;

// A policy for attribute types 0..MaxType; types left unset are not checked
// and must not be read.
template <int MaxType>
class Policy {
public:
    Policy& expect(int type, std::uint16_t kind, std::uint16_t minLength = 0, std::uint16_t maxLength = 0) {
        entries_[static_cast<std::size_t>(type)] = nla_policy{kind, minLength, maxLength};
        return *this;
    }
    const nla_policy* data() const { return entries_.data(); }

private:
    std::array<nla_policy, MaxType + 1> entries_{};
};

template <int MaxType>
using AttributeIndex = std::array<nlattr*, MaxType + 1>;

// libnl reads attribute headers in place, so bytes of unknown origin and
// alignment are copied to word-aligned storage that outlives the index.
class AttributeTable {
public:
    explicit AttributeTable(AttributeBytes bytes)
        : words_((bytes.size() + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t)), size_(bytes.size()) {
        if (!bytes.empty()) std::memcpy(words_.data(), bytes.data(), bytes.size());
    }

    // Indexes the top-level attributes; false when one breaks the policy.
    template <int MaxType>
    bool parse(AttributeIndex<MaxType>& index, const Policy<MaxType>& policy) {
        if (size_ > static_cast<std::size_t>(INT_MAX)) return false;
        auto* head = reinterpret_cast<nlattr*>(words_.data());
        return nla_parse(index.data(), MaxType, head, static_cast<int>(size_), policy.data()) == 0;
    }

private:
    std::vector<std::uint32_t> words_;
    std::size_t size_;
};

// Indexes the attributes nested in one (none when it is absent); false when
// one breaks the policy.
template <int MaxType>
bool parseNested(AttributeIndex<MaxType>& index, nlattr* nest, const Policy<MaxType>& policy) {
    return nest == nullptr || nla_parse_nested(index.data(), MaxType, nest, policy.data()) == 0;
}

template <class Value, class Read>
std::optional<Value> optionalOf(const nlattr* attribute, Read read) {
    if (attribute == nullptr) return std::nullopt;
    return static_cast<Value>(read(attribute));
}

std::optional<wifi::Bytes> optionalBytes(const nlattr* attribute) {
    if (attribute == nullptr) return std::nullopt;
    const auto* begin = static_cast<const std::uint8_t*>(nla_data(attribute));
    return wifi::Bytes(begin, begin + nla_len(attribute));
}

// A string attribute up to its first NUL (the policy makes sure of one).
std::optional<std::string> optionalText(const nlattr* attribute) {
    if (attribute == nullptr) return std::nullopt;
    const auto* text = static_cast<const char*>(nla_data(attribute));
    return std::string(text, strnlen(text, static_cast<std::size_t>(nla_len(attribute))));
}

// An Ethernet address as lower-case colon hex; nullopt unless exactly 6 bytes.
std::optional<std::string> macTextOf(const nlattr* attribute) {
    static constexpr char digits[] = "0123456789abcdef";
    if (attribute == nullptr || nla_len(attribute) != kMacLength) return std::nullopt;
    const auto* octets = static_cast<const std::uint8_t*>(nla_data(attribute));
    std::string text;
    for (int i = 0; i < kMacLength; ++i) {
        if (i > 0) text += ':';
        text += digits[octets[i] >> 4];
        text += digits[octets[i] & 0x0f];
    }
    return text;
}

const Policy<NL80211_ATTR_MAX>& interfacePolicy() {
    static const auto policy = Policy<NL80211_ATTR_MAX>()
                                   .expect(NL80211_ATTR_IFINDEX, NLA_U32)
                                   .expect(NL80211_ATTR_WDEV, NLA_U64)
                                   .expect(NL80211_ATTR_IFNAME, NLA_STRING)
                                   .expect(NL80211_ATTR_IFTYPE, NLA_U32)
                                   .expect(NL80211_ATTR_SSID, NLA_UNSPEC, 0, kMaxSsidLength);
    return policy;
}

const Policy<NL80211_ATTR_MAX>& scanReplyPolicy() {
    static const auto policy = Policy<NL80211_ATTR_MAX>().expect(NL80211_ATTR_BSS, NLA_NESTED);
    return policy;
}

const Policy<NL80211_BSS_MAX>& bssPolicy() {
    static const auto policy = Policy<NL80211_BSS_MAX>()
                                   .expect(NL80211_BSS_BSSID, NLA_UNSPEC, kMacLength, kMacLength)
                                   .expect(NL80211_BSS_FREQUENCY, NLA_U32)
                                   .expect(NL80211_BSS_CAPABILITY, NLA_U16)
                                   .expect(NL80211_BSS_SIGNAL_MBM, NLA_U32)
                                   .expect(NL80211_BSS_INFORMATION_ELEMENTS, NLA_UNSPEC)
                                   .expect(NL80211_BSS_BEACON_IES, NLA_UNSPEC)
                                   .expect(NL80211_BSS_STATUS, NLA_U32);
    return policy;
}

const Policy<NL80211_ATTR_MAX>& stationReplyPolicy() {
    static const auto policy = Policy<NL80211_ATTR_MAX>()
                                   .expect(NL80211_ATTR_MAC, NLA_UNSPEC, kMacLength, kMacLength)
                                   .expect(NL80211_ATTR_STA_INFO, NLA_NESTED);
    return policy;
}

const Policy<NL80211_STA_INFO_MAX>& stationInfoPolicy() {
    static const auto policy = Policy<NL80211_STA_INFO_MAX>().expect(NL80211_STA_INFO_SIGNAL, NLA_U8);
    return policy;
}

bool sameDevice(const DeviceId& a, const DeviceId& b) {
    if (a.ifindex && b.ifindex) return *a.ifindex == *b.ifindex;
    return a.wdev && b.wdev && *a.wdev == *b.wdev;
}

}  // namespace

std::optional<InterfaceInfo> parseInterface(AttributeBytes attributes) {
    AttributeTable table(attributes);
    AttributeIndex<NL80211_ATTR_MAX> index{};
    if (!table.parse(index, interfacePolicy())) return std::nullopt;

    InterfaceInfo info;
    info.device.ifindex = optionalOf<std::uint32_t>(index[NL80211_ATTR_IFINDEX], nla_get_u32);
    info.device.wdev = optionalOf<std::uint64_t>(index[NL80211_ATTR_WDEV], nla_get_u64);
    if (!info.device.ifindex && !info.device.wdev) return std::nullopt;
    info.type = optionalOf<std::uint32_t>(index[NL80211_ATTR_IFTYPE], nla_get_u32);
    info.name = optionalText(index[NL80211_ATTR_IFNAME]);
    info.ssid = optionalBytes(index[NL80211_ATTR_SSID]);
    return info;
}

std::optional<BssEntry> parseBss(AttributeBytes attributes) {
    AttributeTable table(attributes);
    AttributeIndex<NL80211_ATTR_MAX> reply{};
    AttributeIndex<NL80211_BSS_MAX> bss{};
    if (!table.parse(reply, scanReplyPolicy()) || !parseNested(bss, reply[NL80211_ATTR_BSS], bssPolicy())) {
        return std::nullopt;
    }
    auto bssid = macTextOf(bss[NL80211_BSS_BSSID]);
    if (!bssid) return std::nullopt;

    BssEntry entry;
    entry.bssid = std::move(*bssid);
    entry.frequencyMHz = optionalOf<std::uint32_t>(bss[NL80211_BSS_FREQUENCY], nla_get_u32);
    entry.capability = optionalOf<std::uint16_t>(bss[NL80211_BSS_CAPABILITY], nla_get_u16);
    // The kernel sends the signed mBm value in an unsigned 32-bit attribute.
    entry.signalMbm = optionalOf<std::int32_t>(bss[NL80211_BSS_SIGNAL_MBM], nla_get_u32);
    entry.elements = optionalBytes(bss[NL80211_BSS_INFORMATION_ELEMENTS]);
    entry.beaconElements = optionalBytes(bss[NL80211_BSS_BEACON_IES]);
    entry.status = optionalOf<std::uint32_t>(bss[NL80211_BSS_STATUS], nla_get_u32);
    return entry;
}

std::optional<StationInfo> parseStation(AttributeBytes attributes) {
    AttributeTable table(attributes);
    AttributeIndex<NL80211_ATTR_MAX> reply{};
    AttributeIndex<NL80211_STA_INFO_MAX> info{};
    if (!table.parse(reply, stationReplyPolicy()) ||
        !parseNested(info, reply[NL80211_ATTR_STA_INFO], stationInfoPolicy())) {
        return std::nullopt;
    }
    auto mac = macTextOf(reply[NL80211_ATTR_MAC]);
    if (!mac) return std::nullopt;
    // The signal is a signed dBm value sent as an unsigned byte.
    return StationInfo{std::move(*mac), optionalOf<std::int8_t>(info[NL80211_STA_INFO_SIGNAL], nla_get_u8)};
}

bool isScanEndOf(const DeviceId& device, std::uint8_t command, AttributeBytes attributes) {
    if (command != NL80211_CMD_NEW_SCAN_RESULTS && command != NL80211_CMD_SCAN_ABORTED) return false;
    // Scan events name their device with the same attributes as an interface reply.
    auto origin = parseInterface(attributes);
    return origin && sameDevice(origin->device, device);
}

}  // namespace netmoth::nl80211
