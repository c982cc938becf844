#include "platform/linux/ScanEventWatch.h"

#include <poll.h>

#include <cerrno>

#include "platform/linux/GenlMessage.h"

namespace netmoth::linux_backend {
namespace {

struct ScanEndSearch {
    const DeviceId& device;
    bool found = false;
};

// Events are unsolicited: their sequence numbers answer no request of ours.
int acceptAnySequence(nl_msg*, void*) { return NL_OK; }

int noteScanEnd(nl_msg* message, void* arg) {
    auto* search = static_cast<ScanEndSearch*>(arg);
    auto event = genlMessageOf(message);
    if (event && isScanEndOf(search->device, event->command, event->attributes)) {
        search->found = true;
    }
    return NL_SKIP;
}

}  // namespace

std::unique_ptr<ScanWatch> ScanEventWatch::subscribe(int group) {
    SocketHandle socket = connectGenericNetlink();
    CallbacksHandle callbacks(nl_cb_alloc(NL_CB_DEFAULT));
    if (!socket || !callbacks || nl_socket_add_membership(socket.get(), group) < 0 ||
        nl_socket_set_nonblocking(socket.get()) < 0) {
        return nullptr;
    }
    nl_cb_set(callbacks.get(), NL_CB_SEQ_CHECK, NL_CB_CUSTOM, acceptAnySequence, nullptr);
    return std::unique_ptr<ScanWatch>(new ScanEventWatch(std::move(socket), std::move(callbacks)));
}

ScanEventWatch::ScanEventWatch(SocketHandle socket, CallbacksHandle callbacks)
    : socket_(std::move(socket)), callbacks_(std::move(callbacks)) {}

bool ScanEventWatch::awaitScanEnd(const DeviceId& device, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    ScanEndSearch search{device};
    nl_cb_set(callbacks_.get(), NL_CB_VALID, NL_CB_CUSTOM, noteScanEnd, &search);
    pollfd readable{nl_socket_get_fd(socket_.get()), POLLIN, 0};

    while (!search.found) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        int ready = poll(&readable, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        // A failed read (e.g. an overflowed buffer) may have lost the event:
        // waiting longer could only run into the timeout.
        if (nl_recvmsgs(socket_.get(), callbacks_.get()) < 0) return false;
    }
    return true;
}

}  // namespace netmoth::linux_backend
