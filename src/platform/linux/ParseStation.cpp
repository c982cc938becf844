#include <linux/nl80211.h>

#include "platform/linux/AttributeTable.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {
namespace {

constexpr std::uint16_t kMacLength = 6;

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

}  // namespace

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

}  // namespace netmoth::linux_backend
