#include "platform/linux/GenlMessage.h"

#include <netlink/genl/genl.h>

namespace netmoth::linux_backend {

std::optional<GenlMessage> genlMessageOf(nl_msg* message) {
    nlmsghdr* header = nlmsg_hdr(message);
    if (!genlmsg_valid_hdr(header, 0)) return std::nullopt;
    const auto* genl = static_cast<const genlmsghdr*>(nlmsg_data(header));
    const auto* begin = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(genl, 0));
    return GenlMessage{genl->cmd, AttributeBytes(begin, static_cast<std::size_t>(genlmsg_attrlen(genl, 0)))};
}

}  // namespace netmoth::linux_backend
