#include <linux/nl80211.h>

#include "platform/linux/AttributeTable.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {
namespace {

constexpr std::uint16_t kMaxSsidLength = 32;

const Policy<NL80211_ATTR_MAX>& interfacePolicy() {
    static const auto policy = Policy<NL80211_ATTR_MAX>()
                                   .expect(NL80211_ATTR_IFINDEX, NLA_U32)
                                   .expect(NL80211_ATTR_WDEV, NLA_U64)
                                   .expect(NL80211_ATTR_IFNAME, NLA_STRING)
                                   .expect(NL80211_ATTR_IFTYPE, NLA_U32)
                                   .expect(NL80211_ATTR_SSID, NLA_UNSPEC, 0, kMaxSsidLength);
    return policy;
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
    if (index[NL80211_ATTR_IFNAME]) info.name = textOf(index[NL80211_ATTR_IFNAME]);
    if (index[NL80211_ATTR_SSID]) info.ssid = bytesOf(index[NL80211_ATTR_SSID]);
    return info;
}

}  // namespace netmoth::linux_backend
