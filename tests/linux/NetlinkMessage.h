#pragma once
// Builds an nl80211 message with libnl, as the kernel would send it, and
// hands back the attribute bytes after its generic-netlink header.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WiFi.h"
#include "platform/linux/NetlinkHandles.h"

namespace netmoth::linux_backend::test {

class NetlinkMessage {
public:
    explicit NetlinkMessage(std::uint8_t command);

    NetlinkMessage& u8(int type, std::uint8_t value) { return put(type, &value, sizeof value); }
    NetlinkMessage& u16(int type, std::uint16_t value) { return put(type, &value, sizeof value); }
    NetlinkMessage& u32(int type, std::uint32_t value) { return put(type, &value, sizeof value); }
    NetlinkMessage& u64(int type, std::uint64_t value) { return put(type, &value, sizeof value); }
    NetlinkMessage& bytes(int type, const platform::Bytes& value) {
        return put(type, value.data(), value.size());
    }
    NetlinkMessage& text(int type, const std::string& value);  // NUL-terminated
    NetlinkMessage& nest(int type);
    NetlinkMessage& endNest();

    platform::Bytes attributes() const;

private:
    NetlinkMessage& put(int type, const void* data, std::size_t size);

    MessageHandle message_;
    std::vector<nlattr*> nests_;
};

platform::Bytes mac(std::uint8_t last);  // 02:00:00:00:00:<last>

// Replies with their nested attribute list left open for the caller to fill.
NetlinkMessage scanReplyOpen();                               // in NL80211_ATTR_BSS
NetlinkMessage stationReplyOpen(const platform::Bytes& mac);  // in NL80211_ATTR_STA_INFO

// An SSID element followed by a DS parameter set element.
platform::Bytes elementsNaming(const std::string& ssid);

}  // namespace netmoth::linux_backend::test
