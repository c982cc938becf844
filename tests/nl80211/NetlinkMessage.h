#pragma once
// Builds an nl80211 message with libnl, as the kernel would send it, and
// hands back the attribute bytes after its generic-netlink header. Shared
// with the nl80211 fuzz target, which sends parsed values back this way.

#include <linux/nl80211.h>
#include <netlink/attr.h>
#include <netlink/genl/genl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "wifi/Values.h"

namespace netmoth::nl80211::test {

using wifi::Bytes;

class NetlinkMessage {
public:
    explicit NetlinkMessage(std::uint8_t command) : message_(nlmsg_alloc(), nlmsg_free) {
        check(message_ && genlmsg_put(message_.get(), NL_AUTO_PORT, NL_AUTO_SEQ, 0x1c, 0, 0, command, 1));
    }

    // Numbers in host order, as nla_put_u8..u64 write them; text NUL-terminated, as nla_put_string does.
    template <class Value>
    requires std::is_arithmetic_v<Value> || std::is_enum_v<Value> NetlinkMessage& put(int type, Value value) {
        return raw(type, &value, sizeof value);
    }
    NetlinkMessage& put(int type, const Bytes& value) { return raw(type, value.data(), value.size()); }
    NetlinkMessage& put(int type, const std::string& text) { return raw(type, text.c_str(), text.size() + 1); }
    // An absent value is left out, as the kernel leaves out what it does not know.
    template <class Value>
    NetlinkMessage& put(int type, const std::optional<Value>& value) {
        return value ? put(type, *value) : *this;
    }
    NetlinkMessage& nest(int type) {
        nests_.push_back(nla_nest_start(message_.get(), type));
        check(nests_.back() != nullptr);
        return *this;
    }
    NetlinkMessage& endNest() {
        check(nla_nest_end(message_.get(), nests_.back()) == 0);
        nests_.pop_back();
        return *this;
    }

    Bytes attributes() const {
        const auto* genl = static_cast<const genlmsghdr*>(nlmsg_data(nlmsg_hdr(message_.get())));
        const auto* begin = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(genl, 0));
        return Bytes(begin, begin + genlmsg_attrlen(genl, 0));
    }

private:
    static void check(bool fits) {
        if (!fits) throw std::runtime_error("attribute does not fit");
    }
    NetlinkMessage& raw(int type, const void* data, std::size_t size) {
        check(nla_put(message_.get(), type, static_cast<int>(size), data) == 0);
        return *this;
    }

    std::unique_ptr<nl_msg, decltype(&nlmsg_free)> message_;
    std::vector<nlattr*> nests_;
};

inline Bytes mac(std::uint8_t last) { return {0x02, 0, 0, 0, 0, last}; }  // 02:00:00:00:00:<last>

// Replies with their nested attribute list left open for the caller to fill.
inline NetlinkMessage scanReplyOpen() {
    NetlinkMessage message(NL80211_CMD_NEW_SCAN_RESULTS);
    message.put(NL80211_ATTR_IFINDEX, 3U).nest(NL80211_ATTR_BSS);
    return message;
}
inline NetlinkMessage stationReplyOpen(const Bytes& address) {
    NetlinkMessage message(NL80211_CMD_NEW_STATION);
    message.put(NL80211_ATTR_IFINDEX, 3U).put(NL80211_ATTR_MAC, address).nest(NL80211_ATTR_STA_INFO);
    return message;
}

// An SSID element followed by a DS parameter set element.
inline Bytes elementsNaming(const std::string& ssid) {
    const std::string elements = std::string{'\0', static_cast<char>(ssid.size())} + ssid + "\x03\x01\x06";
    return Bytes(elements.begin(), elements.end());
}

}  // namespace netmoth::nl80211::test
