#pragma once
// Nl80211Link over the running kernel's nl80211 family.

#include <memory>

#include "platform/linux/Nl80211Link.h"
#include "platform/linux/Nl80211Socket.h"

namespace netmoth::linux_backend {

class KernelLink final : public Nl80211Link {
public:
    // nullptr when the kernel has no nl80211 family.
    static std::unique_ptr<Nl80211Link> open();

    std::optional<std::vector<platform::Bytes>> dumpInterfaces() override;
    std::optional<std::vector<platform::Bytes>> dumpScanResults(const DeviceId& device) override;
    std::optional<std::vector<platform::Bytes>> dumpStations(const DeviceId& device) override;
    std::unique_ptr<ScanWatch> watchScans() override;
    std::optional<int> triggerScan(const DeviceId& device, const std::vector<platform::Bytes>& probeSsids) override;

private:
    explicit KernelLink(std::unique_ptr<Nl80211Socket> socket);

    std::unique_ptr<Nl80211Socket> socket_;
};

}  // namespace netmoth::linux_backend
