#include <linux/nl80211.h>

#include "platform/linux/AttributeTable.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {
namespace {

constexpr std::uint16_t kMacLength = 6;

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

std::optional<platform::Bytes> optionalBytes(const nlattr* attribute) {
    if (attribute == nullptr) return std::nullopt;
    return bytesOf(attribute);
}

}  // namespace

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

}  // namespace netmoth::linux_backend
