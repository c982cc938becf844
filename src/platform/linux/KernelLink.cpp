#include "platform/linux/KernelLink.h"

#include <linux/nl80211.h>
#include <netlink/attr.h>

#include "platform/linux/ScanEventWatch.h"

namespace netmoth::linux_backend {
namespace {

bool putDevice(nl_msg* message, const DeviceId& device) {
    if (device.ifindex) return nla_put_u32(message, NL80211_ATTR_IFINDEX, *device.ifindex) == 0;
    return device.wdev && nla_put_u64(message, NL80211_ATTR_WDEV, *device.wdev) == 0;
}

bool putProbeSsids(nl_msg* message, const std::vector<platform::Bytes>& ssids) {
    nlattr* list = nla_nest_start(message, NL80211_ATTR_SCAN_SSIDS);
    if (list == nullptr) return false;
    int position = 1;  // the kernel numbers list members from 1
    for (const auto& ssid : ssids) {
        if (nla_put(message, position++, static_cast<int>(ssid.size()), ssid.data()) < 0) return false;
    }
    return nla_nest_end(message, list) == 0;
}

Nl80211Socket::Attributes deviceOnly(const DeviceId& device) {
    return [&device](nl_msg* message) { return putDevice(message, device); };
}

}  // namespace

std::unique_ptr<Nl80211Link> KernelLink::open() {
    auto socket = Nl80211Socket::open();
    if (!socket) return nullptr;
    return std::unique_ptr<Nl80211Link>(new KernelLink(std::move(socket)));
}

KernelLink::KernelLink(std::unique_ptr<Nl80211Socket> socket) : socket_(std::move(socket)) {}

std::optional<std::vector<platform::Bytes>> KernelLink::dumpInterfaces() {
    return socket_->dump(NL80211_CMD_GET_INTERFACE, [](nl_msg*) { return true; });
}

std::optional<std::vector<platform::Bytes>> KernelLink::dumpScanResults(const DeviceId& device) {
    return socket_->dump(NL80211_CMD_GET_SCAN, deviceOnly(device));
}

std::optional<std::vector<platform::Bytes>> KernelLink::dumpStations(const DeviceId& device) {
    return socket_->dump(NL80211_CMD_GET_STATION, deviceOnly(device));
}

std::unique_ptr<ScanWatch> KernelLink::watchScans() {
    auto group = socket_->multicastGroup(NL80211_MULTICAST_GROUP_SCAN);
    if (!group) return nullptr;
    return ScanEventWatch::subscribe(*group);
}

std::optional<int> KernelLink::triggerScan(const DeviceId& device, const std::vector<platform::Bytes>& probeSsids) {
    return socket_->request(NL80211_CMD_TRIGGER_SCAN, [&](nl_msg* message) {
        return putDevice(message, device) && putProbeSsids(message, probeSsids);
    });
}

}  // namespace netmoth::linux_backend
