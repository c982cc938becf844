#pragma once
// A second nl80211 socket joined to the "scan" multicast group.

#include <memory>

#include "platform/linux/NetlinkHandles.h"
#include "platform/linux/Nl80211Link.h"

namespace netmoth::linux_backend {

class ScanEventWatch final : public ScanWatch {
public:
    // nullptr when the socket cannot be opened or joined to group.
    static std::unique_ptr<ScanWatch> subscribe(int group);

    bool awaitScanEnd(const DeviceId& device, std::chrono::milliseconds timeout) override;

private:
    ScanEventWatch(SocketHandle socket, CallbacksHandle callbacks);

    SocketHandle socket_;
    CallbacksHandle callbacks_;
};

}  // namespace netmoth::linux_backend
