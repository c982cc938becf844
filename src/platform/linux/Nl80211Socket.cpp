#include "platform/linux/Nl80211Socket.h"

#include <linux/nl80211.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>

#include <cerrno>

#include "platform/linux/GenlMessage.h"

namespace netmoth::linux_backend {
namespace {

// The kernel marks a dump interrupted when its list changed meanwhile
// (scan results do while radios scan); a fresh dump is usually clean.
constexpr int kDumpAttempts = 5;
constexpr int kPending = 1;

struct Conversation {
    int state = kPending;  // kPending, 0 when done, or the kernel's negative errno
    std::vector<platform::Bytes>* replies;
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

}  // namespace

std::unique_ptr<Nl80211Socket> Nl80211Socket::open() {
    SocketHandle socket = connectGenericNetlink();
    if (!socket) return nullptr;
    int family = genl_ctrl_resolve(socket.get(), NL80211_GENL_NAME);
    if (family < 0) return nullptr;
    return std::unique_ptr<Nl80211Socket>(new Nl80211Socket(std::move(socket), family));
}

Nl80211Socket::Nl80211Socket(SocketHandle socket, int family) : socket_(std::move(socket)), family_(family) {}

std::optional<std::vector<platform::Bytes>> Nl80211Socket::dump(std::uint8_t command, const Attributes& attributes) {
    std::vector<platform::Bytes> replies;
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

std::optional<int> Nl80211Socket::request(std::uint8_t command, const Attributes& attributes) {
    MessageHandle request = message(command, 0, attributes);
    if (!request) return std::nullopt;
    return converse(request.get(), nullptr);
}

std::optional<int> Nl80211Socket::multicastGroup(const char* name) {
    int group = genl_ctrl_resolve_grp(socket_.get(), NL80211_GENL_NAME, name);
    if (group < 0) return std::nullopt;
    return group;
}

MessageHandle Nl80211Socket::message(std::uint8_t command, int flags, const Attributes& attributes) const {
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
std::optional<int> Nl80211Socket::converse(nl_msg* message, std::vector<platform::Bytes>* replies) {
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

}  // namespace netmoth::linux_backend
