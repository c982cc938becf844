#pragma once
// The command and attribute bytes of a received generic-netlink message.

#include <netlink/msg.h>

#include <cstdint>
#include <optional>

#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {

struct GenlMessage {
    std::uint8_t command;
    AttributeBytes attributes;  // valid while the message lives
};

// nullopt when the message is too short for a generic-netlink header.
std::optional<GenlMessage> genlMessageOf(nl_msg* message);

}  // namespace netmoth::linux_backend
