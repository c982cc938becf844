#pragma once
// Owning handles for libnl objects, so every path frees them.

#include <netlink/handlers.h>
#include <netlink/msg.h>
#include <netlink/socket.h>

#include <memory>

namespace netmoth::linux_backend {

struct SocketRelease {
    void operator()(nl_sock* socket) const noexcept { nl_socket_free(socket); }
};
struct MessageRelease {
    void operator()(nl_msg* message) const noexcept { nlmsg_free(message); }
};
struct CallbacksRelease {
    void operator()(nl_cb* callbacks) const noexcept { nl_cb_put(callbacks); }
};

using SocketHandle = std::unique_ptr<nl_sock, SocketRelease>;
using MessageHandle = std::unique_ptr<nl_msg, MessageRelease>;
using CallbacksHandle = std::unique_ptr<nl_cb, CallbacksRelease>;

// A connected generic-netlink socket with room for large replies; nullptr on failure.
SocketHandle connectGenericNetlink();

}  // namespace netmoth::linux_backend
