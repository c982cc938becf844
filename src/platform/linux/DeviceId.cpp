#include <linux/nl80211.h>

#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {

bool sameDevice(const DeviceId& a, const DeviceId& b) {
    if (a.ifindex && b.ifindex) return *a.ifindex == *b.ifindex;
    return a.wdev && b.wdev && *a.wdev == *b.wdev;
}

bool isScanEndOf(const DeviceId& device, std::uint8_t command, AttributeBytes attributes) {
    if (command != NL80211_CMD_NEW_SCAN_RESULTS && command != NL80211_CMD_SCAN_ABORTED) {
        return false;
    }
    // Scan events name their device with the same attributes as an interface dump.
    auto origin = parseInterface(attributes);
    return origin && sameDevice(origin->device, device);
}

}  // namespace netmoth::linux_backend
