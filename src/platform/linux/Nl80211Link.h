#pragma once
// What the Wi-Fi client asks of the kernel's nl80211 family. The kernel side
// is KernelLink; tests stand in their own. Replies are the attribute bytes of
// each message; nullopt means netlink itself failed or the kernel refused.

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/WiFi.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {

// A subscription to scan events, opened before a scan is triggered so that
// its end cannot be missed.
class ScanWatch {
public:
    virtual ~ScanWatch() = default;
    // Returns when a scan on device has ended (results or aborted): true; when
    // the events can no longer be read, or after timeout: false.
    virtual bool awaitScanEnd(const DeviceId& device, std::chrono::milliseconds timeout) = 0;
};

class Nl80211Link {
public:
    virtual ~Nl80211Link() = default;
    virtual std::optional<std::vector<platform::Bytes>> dumpInterfaces() = 0;
    virtual std::optional<std::vector<platform::Bytes>> dumpScanResults(const DeviceId& device) = 0;
    virtual std::optional<std::vector<platform::Bytes>> dumpStations(const DeviceId& device) = 0;
    // nullptr when the subscription fails.
    virtual std::unique_ptr<ScanWatch> watchScans() = 0;
    // Asks for an active scan probing each SSID (an empty one is the wildcard).
    // 0: started; else the kernel's errno; nullopt: netlink failed.
    virtual std::optional<int> triggerScan(const DeviceId& device, const std::vector<platform::Bytes>& probeSsids) = 0;
};

}  // namespace netmoth::linux_backend
