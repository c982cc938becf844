// Arbitrary attribute bytes into the three nl80211 reply parsers. Whatever a
// parser accepts must be well formed, and must survive being sent again the
// way the kernel sends it: every value passes through unchanged.

#include <linux/nl80211.h>
#include <netlink/attr.h>
#include <netlink/genl/genl.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/linux/NetlinkHandles.h"
#include "platform/linux/Nl80211Records.h"

namespace {

using namespace netmoth::linux_backend;
using netmoth::platform::Bytes;

void require(bool property) {
    if (!property) std::abort();
}

bool isMacText(const std::string& text) {
    if (text.size() != 17) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool fits = i % 3 == 2 ? c == ':' : ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
        if (!fits) return false;
    }
    return true;
}

Bytes macBytes(const std::string& text) {
    Bytes octets;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        octets.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return octets;
}

// Builds a reply with libnl, as the kernel would.
class Reply {
public:
    Reply() : message_(nlmsg_alloc()) {
        require(message_ && genlmsg_put(message_.get(), NL_AUTO_PORT, NL_AUTO_SEQ, 0x1c, 0, 0, 1, 1));
    }
    template <class Value>
    Reply& put(int type, const std::optional<Value>& value) {
        if (value) require(nla_put(message_.get(), type, sizeof(Value), &*value) == 0);
        return *this;
    }
    Reply& put(int type, const std::optional<Bytes>& value) {
        if (value) {
            require(nla_put(message_.get(), type, static_cast<int>(value->size()), value->data()) == 0);
        }
        return *this;
    }
    Reply& putText(int type, const std::optional<std::string>& value) {
        if (value) require(nla_put_string(message_.get(), type, value->c_str()) == 0);
        return *this;
    }
    Reply& nest(int type) {
        nests_.push_back(nla_nest_start(message_.get(), type));
        require(nests_.back() != nullptr);
        return *this;
    }
    Reply& endNest() {
        require(nla_nest_end(message_.get(), nests_.back()) == 0);
        nests_.pop_back();
        return *this;
    }
    Bytes attributes() const {
        const auto* genl = static_cast<const genlmsghdr*>(nlmsg_data(nlmsg_hdr(message_.get())));
        const auto* begin = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(genl, 0));
        return Bytes(begin, begin + genlmsg_attrlen(genl, 0));
    }

private:
    MessageHandle message_;
    std::vector<nlattr*> nests_;
};

void checkInterface(AttributeBytes input) {
    auto info = parseInterface(input);
    if (!info) return;
    require(info->device.ifindex || info->device.wdev);
    require(!info->ssid || info->ssid->size() <= 32);
    // A name holds no NUL, so it is sent back whole.
    require(!info->name || info->name->find('\0') == std::string::npos);
    const auto again = Reply()
                           .put(NL80211_ATTR_IFINDEX, info->device.ifindex)
                           .put(NL80211_ATTR_WDEV, info->device.wdev)
                           .putText(NL80211_ATTR_IFNAME, info->name)
                           .put(NL80211_ATTR_IFTYPE, info->type)
                           .put(NL80211_ATTR_SSID, info->ssid)
                           .attributes();
    require(parseInterface(again) == info);
}

void checkBss(AttributeBytes input) {
    auto entry = parseBss(input);
    if (!entry) return;
    require(isMacText(entry->bssid));
    // The kernel's mBm value travels as an unsigned 32-bit attribute.
    std::optional<std::uint32_t> signal;
    if (entry->signalMbm) signal = static_cast<std::uint32_t>(*entry->signalMbm);
    const auto again = Reply()
                           .nest(NL80211_ATTR_BSS)
                           .put(NL80211_BSS_BSSID, std::optional(macBytes(entry->bssid)))
                           .put(NL80211_BSS_FREQUENCY, entry->frequencyMHz)
                           .put(NL80211_BSS_CAPABILITY, entry->capability)
                           .put(NL80211_BSS_SIGNAL_MBM, signal)
                           .put(NL80211_BSS_INFORMATION_ELEMENTS, entry->elements)
                           .put(NL80211_BSS_BEACON_IES, entry->beaconElements)
                           .put(NL80211_BSS_STATUS, entry->status)
                           .endNest()
                           .attributes();
    require(parseBss(again) == entry);
}

void checkStation(AttributeBytes input) {
    auto station = parseStation(input);
    if (!station) return;
    require(isMacText(station->mac));
    const auto again = Reply()
                           .put(NL80211_ATTR_MAC, std::optional(macBytes(station->mac)))
                           .nest(NL80211_ATTR_STA_INFO)
                           .put(NL80211_STA_INFO_SIGNAL, station->signalDbm)
                           .endNest()
                           .attributes();
    require(parseStation(again) == station);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AttributeBytes input(data, size);
    checkInterface(input);
    checkBss(input);
    checkStation(input);
    // A scan event names its device the way an interface reply does.
    if (size > 0 && isScanEndOf(DeviceId{1, 1}, data[0], input.subspan(1))) {
        require(parseInterface(input.subspan(1)).has_value());
    }
    return 0;
}
