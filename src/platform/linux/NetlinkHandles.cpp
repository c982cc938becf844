#include "platform/linux/NetlinkHandles.h"

#include <netlink/genl/genl.h>

namespace netmoth::linux_backend {
namespace {

// Dense venues answer a scan dump with thousands of BSSes, and scan events
// must not be dropped while another program floods the group.
constexpr int kReceiveBufferBytes = 1 << 20;

}  // namespace

SocketHandle connectGenericNetlink() {
    SocketHandle socket(nl_socket_alloc());
    if (!socket || genl_connect(socket.get()) < 0) return nullptr;
    // Best effort: the kernel caps the size for unprivileged users.
    nl_socket_set_buffer_size(socket.get(), kReceiveBufferBytes, 0);
    // Peeking sizes the read to each datagram, however large.
    nl_socket_enable_msg_peek(socket.get());
    return socket;
}

}  // namespace netmoth::linux_backend
