#pragma once
// Requests and dumps on a generic-netlink socket bound to the nl80211 family,
// answered the way iw reads them: error, finish and ack handlers decide when
// the kernel is done.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/WiFi.h"
#include "platform/linux/NetlinkHandles.h"

namespace netmoth::linux_backend {

class Nl80211Socket {
public:
    // Adds a request's attributes; false when they do not fit.
    using Attributes = std::function<bool(nl_msg*)>;

    // nullptr without netlink or without an nl80211 family (no cfg80211).
    static std::unique_ptr<Nl80211Socket> open();

    // Each reply's attribute bytes; nullopt on a netlink failure or kernel error.
    std::optional<std::vector<platform::Bytes>> dump(std::uint8_t command, const Attributes& attributes);
    // 0 when acknowledged, else the kernel's errno; nullopt on a netlink failure.
    std::optional<int> request(std::uint8_t command, const Attributes& attributes);
    // The id of one of nl80211's multicast groups.
    std::optional<int> multicastGroup(const char* name);

private:
    Nl80211Socket(SocketHandle socket, int family);
    MessageHandle message(std::uint8_t command, int flags, const Attributes& attributes) const;
    std::optional<int> converse(nl_msg* message, std::vector<platform::Bytes>* replies);

    SocketHandle socket_;
    int family_;
};

}  // namespace netmoth::linux_backend
