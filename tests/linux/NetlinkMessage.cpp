#include "NetlinkMessage.h"

#include <linux/nl80211.h>
#include <netlink/attr.h>
#include <netlink/genl/genl.h>

#include <stdexcept>

namespace netmoth::linux_backend::test {
namespace {

void check(int result) {
    if (result < 0) throw std::runtime_error("attribute does not fit");
}

}  // namespace

NetlinkMessage::NetlinkMessage(std::uint8_t command) : message_(nlmsg_alloc()) {
    if (!message_ || !genlmsg_put(message_.get(), NL_AUTO_PORT, NL_AUTO_SEQ, 0x1c, 0, 0, command, 1)) {
        throw std::runtime_error("no message");
    }
}

NetlinkMessage& NetlinkMessage::put(int type, const void* data, std::size_t size) {
    check(nla_put(message_.get(), type, static_cast<int>(size), data));
    return *this;
}

NetlinkMessage& NetlinkMessage::text(int type, const std::string& value) {
    check(nla_put_string(message_.get(), type, value.c_str()));
    return *this;
}

NetlinkMessage& NetlinkMessage::nest(int type) {
    nlattr* start = nla_nest_start(message_.get(), type);
    if (start == nullptr) throw std::runtime_error("nest does not fit");
    nests_.push_back(start);
    return *this;
}

NetlinkMessage& NetlinkMessage::endNest() {
    check(nla_nest_end(message_.get(), nests_.back()));
    nests_.pop_back();
    return *this;
}

platform::Bytes NetlinkMessage::attributes() const {
    const auto* genl = static_cast<const genlmsghdr*>(nlmsg_data(nlmsg_hdr(message_.get())));
    const auto* begin = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(genl, 0));
    return platform::Bytes(begin, begin + genlmsg_attrlen(genl, 0));
}

platform::Bytes mac(std::uint8_t last) { return {0x02, 0, 0, 0, 0, last}; }

NetlinkMessage scanReplyOpen() {
    NetlinkMessage message(NL80211_CMD_NEW_SCAN_RESULTS);
    message.u32(NL80211_ATTR_IFINDEX, 3).nest(NL80211_ATTR_BSS);
    return message;
}

NetlinkMessage stationReplyOpen(const platform::Bytes& address) {
    NetlinkMessage message(NL80211_CMD_NEW_STATION);
    message.u32(NL80211_ATTR_IFINDEX, 3).bytes(NL80211_ATTR_MAC, address).nest(NL80211_ATTR_STA_INFO);
    return message;
}

platform::Bytes elementsNaming(const std::string& ssid) {
    platform::Bytes elements{0, static_cast<std::uint8_t>(ssid.size())};
    elements.insert(elements.end(), ssid.begin(), ssid.end());
    elements.insert(elements.end(), {3, 1, 6});
    return elements;
}

}  // namespace netmoth::linux_backend::test
