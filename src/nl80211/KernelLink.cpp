#include "nl80211/KernelLink.h"

#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/attr.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/handlers.h>
#include <netlink/msg.h>
#include <netlink/socket.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace netmoth::nl80211 {
namespace {

// Dense venues answer a scan dump with thousands of BSSes, and scan events
// must not be dropped while another program floods the group.
constexpr int kReceiveBufferBytes = 1 << 20;
// The kernel marks a dump interrupted when its list changed meanwhile
// (scan results do while radios scan); a fresh dump is usually clean.
constexpr int kDumpAttempts = 5;
constexpr int kPending = 1;

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
SocketHandle connectGenericNetlink() {
    SocketHandle socket(nl_socket_alloc());
    if (!socket || genl_connect(socket.get()) < 0) return nullptr;
    // Best effort: the kernel caps the size for unprivileged users.
    nl_socket_set_buffer_size(socket.get(), kReceiveBufferBytes, 0);
    // Peeking sizes the read to each datagram, however large.
    nl_socket_enable_msg_peek(socket.get());
    return socket;
}

struct GenlMessage {
    std::uint8_t command;
    AttributeBytes attributes;  // valid while the message lives
};

// nullopt when the message is too short for a generic-netlink header.
std::optional<GenlMessage> genlMessageOf(nl_msg* message) {
    nlmsghdr* header = nlmsg_hdr(message);
    if (!genlmsg_valid_hdr(header, 0)) return std::nullopt;
    const auto* genl = static_cast<const genlmsghdr*>(nlmsg_data(header));
    const auto* begin = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(genl, 0));
    return GenlMessage{genl->cmd, AttributeBytes(begin, static_cast<std::size_t>(genlmsg_attrlen(genl, 0)))};
}

// One request and its answer, read the way iw reads them: the error, finish
// and ack handlers decide when the kernel is done.
struct Conversation {
    int state = kPending;  // kPending, 0 when done, or the kernel's negative errno
    Replies* replies;
};

int onError(sockaddr_nl*, nlmsgerr* error, void* arg) {
    static_cast<Conversation*>(arg)->state = error->error < 0 ? error->error : -EPROTO;
    return NL_STOP;
}

int onFinish(nl_msg*, void* arg) {
    static_cast<Conversation*>(arg)->state = 0;
    return NL_SKIP;
}

int onAck(nl_msg*, void* arg) {
    static_cast<Conversation*>(arg)->state = 0;
    return NL_STOP;
}

int onReply(nl_msg* message, void* arg) {
    auto* conversation = static_cast<Conversation*>(arg);
    auto reply = genlMessageOf(message);
    if (reply && conversation->replies != nullptr) {
        conversation->replies->emplace_back(reply->attributes.begin(), reply->attributes.end());
    }
    return NL_SKIP;
}

struct ScanEndSearch {
    const DeviceId& device;
    bool found = false;
};

// Events are unsolicited: their sequence numbers answer no request of ours.
int acceptAnySequence(nl_msg*, void*) { return NL_OK; }

int noteScanEnd(nl_msg* message, void* arg) {
    auto* search = static_cast<ScanEndSearch*>(arg);
    auto event = genlMessageOf(message);
    if (event && isScanEndOf(search->device, event->command, event->attributes)) search->found = true;
    return NL_SKIP;
}

// A second socket, joined to nl80211's "scan" multicast group.
class ScanEventWatch final : public ScanWatch {
public:
    ScanEventWatch(SocketHandle socket, CallbacksHandle callbacks)
        : socket_(std::move(socket)), callbacks_(std::move(callbacks)) {}

    bool awaitScanEnd(const DeviceId& device, std::chrono::milliseconds timeout) override {
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
            // A failed read (e.g. an overflowed buffer) may have lost the
            // event: waiting longer could only run into the timeout.
            if (nl_recvmsgs(socket_.get(), callbacks_.get()) < 0) return false;
        }
        return true;
    }

private:
    SocketHandle socket_;
    CallbacksHandle callbacks_;
};

// Adds a request's attributes; false when they do not fit.
using Attributes = std::function<bool(nl_msg*)>;

bool putDevice(nl_msg* message, const DeviceId& device) {
    if (device.ifindex) return nla_put_u32(message, NL80211_ATTR_IFINDEX, *device.ifindex) == 0;
    return device.wdev && nla_put_u64(message, NL80211_ATTR_WDEV, *device.wdev) == 0;
}

bool putProbeSsids(nl_msg* message, const std::vector<wifi::Bytes>& ssids) {
    nlattr* list = nla_nest_start(message, NL80211_ATTR_SCAN_SSIDS);
    if (list == nullptr) return false;
    int position = 1;  // the kernel numbers list members from 1
    for (const auto& ssid : ssids) {
        if (nla_put(message, position++, static_cast<int>(ssid.size()), ssid.data()) < 0) return false;
    }
    return nla_nest_end(message, list) == 0;
}

Attributes deviceOnly(const DeviceId& device) {
    return [&device](nl_msg* message) { return putDevice(message, device); };
}

class LibnlLink final : public KernelLink {
public:
    LibnlLink(SocketHandle socket, int family) : socket_(std::move(socket)), family_(family) {}

    std::optional<Replies> dumpInterfaces() override {
        return dump(NL80211_CMD_GET_INTERFACE, [](nl_msg*) { return true; });
    }
    std::optional<Replies> dumpScanResults(const DeviceId& device) override {
        return dump(NL80211_CMD_GET_SCAN, deviceOnly(device));
    }
    std::optional<Replies> dumpStations(const DeviceId& device) override {
        return dump(NL80211_CMD_GET_STATION, deviceOnly(device));
    }

    std::unique_ptr<ScanWatch> watchScans() override {
        const int group = genl_ctrl_resolve_grp(socket_.get(), NL80211_GENL_NAME, NL80211_MULTICAST_GROUP_SCAN);
        SocketHandle socket = connectGenericNetlink();
        CallbacksHandle callbacks(nl_cb_alloc(NL_CB_DEFAULT));
        if (group < 0 || !socket || !callbacks || nl_socket_add_membership(socket.get(), group) < 0 ||
            nl_socket_set_nonblocking(socket.get()) < 0) {
            return nullptr;
        }
        nl_cb_set(callbacks.get(), NL_CB_SEQ_CHECK, NL_CB_CUSTOM, acceptAnySequence, nullptr);
        return std::make_unique<ScanEventWatch>(std::move(socket), std::move(callbacks));
    }

    std::optional<int> triggerScan(const DeviceId& device, const std::vector<wifi::Bytes>& probeSsids) override {
        MessageHandle request = message(NL80211_CMD_TRIGGER_SCAN, 0, [&](nl_msg* message) {
            return putDevice(message, device) && putProbeSsids(message, probeSsids);
        });
        if (!request) return std::nullopt;
        return converse(request.get(), nullptr);
    }

    // Asked only to explain a missing answer, never on the way to a good one.
    bool isDown(const std::string& netdevName) override {
        ifreq request{};
        if (netdevName.size() >= sizeof request.ifr_name) return false;
        netdevName.copy(request.ifr_name, netdevName.size());
        const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (probe < 0) return false;
        const bool down = ioctl(probe, SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_UP) == 0;
        close(probe);
        return down;
    }

private:
    // Each reply's attribute bytes; nullopt on a netlink failure or kernel error.
    std::optional<Replies> dump(std::uint8_t command, const Attributes& attributes) {
        Replies replies;
        for (int attempt = 1; attempt <= kDumpAttempts; ++attempt) {
            MessageHandle request = message(command, NLM_F_DUMP, attributes);
            if (!request) return std::nullopt;
            replies.clear();
            auto error = converse(request.get(), &replies);
            if (error == EINTR) continue;
            if (error != 0) return std::nullopt;
            return replies;
        }
        // Still changing after every attempt: the last, possibly uneven, list
        // is closer to the truth than none.
        return replies;
    }

    MessageHandle message(std::uint8_t command, int flags, const Attributes& attributes) const {
        MessageHandle message(nlmsg_alloc());
        if (!message || !genlmsg_put(message.get(), NL_AUTO_PORT, NL_AUTO_SEQ, family_, 0, flags, command, 0) ||
            !attributes(message.get())) {
            return nullptr;
        }
        return message;
    }

    // Sends one message and reads until the kernel has finished answering.
    // Returns 0, the kernel's errno, EINTR for an interrupted dump, or nullopt
    // when netlink fails.
    std::optional<int> converse(nl_msg* message, Replies* replies) {
        CallbacksHandle callbacks(nl_cb_alloc(NL_CB_DEFAULT));
        if (!callbacks) return std::nullopt;
        Conversation conversation{kPending, replies};
        nl_cb_err(callbacks.get(), NL_CB_CUSTOM, onError, &conversation);
        nl_cb_set(callbacks.get(), NL_CB_FINISH, NL_CB_CUSTOM, onFinish, &conversation);
        nl_cb_set(callbacks.get(), NL_CB_ACK, NL_CB_CUSTOM, onAck, &conversation);
        nl_cb_set(callbacks.get(), NL_CB_VALID, NL_CB_CUSTOM, onReply, &conversation);
        if (nl_send_auto(socket_.get(), message) < 0) return std::nullopt;

        int received = 0;
        while (conversation.state == kPending && received >= 0) {
            received = nl_recvmsgs(socket_.get(), callbacks.get());
        }
        if (conversation.state < 0) return -conversation.state;
        if (received == -NLE_DUMP_INTR) return EINTR;
        if (received < 0) return std::nullopt;
        return 0;
    }

    SocketHandle socket_;
    int family_;
};

}  // namespace

std::unique_ptr<KernelLink> openKernelLink() {
    SocketHandle socket = connectGenericNetlink();
    if (!socket) return nullptr;
    const int family = genl_ctrl_resolve(socket.get(), NL80211_GENL_NAME);
    if (family < 0) return nullptr;
    return std::make_unique<LibnlLink>(std::move(socket), family);
}

}  // namespace netmoth::nl80211
