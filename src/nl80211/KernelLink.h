#pragma once
// What the backend asks of the kernel: nl80211 dumps, a scan trigger, scan
// events, and whether a netdev is up. openKernelLink talks to the running
// kernel through libnl; tests stand in their own link. Replies are the
// attribute bytes of each message (Messages.h parses them).

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nl80211/Messages.h"
#include "wifi/Values.h"

namespace netmoth::nl80211 {

using Replies = std::vector<wifi::Bytes>;

// A subscription to scan events, opened before a scan is triggered so that
// its end cannot be missed.
class ScanWatch {
public:
    virtual ~ScanWatch() = default;
    // true once a scan on device has ended (results or aborted); false when
    // the events can no longer be read, or after timeout.
    virtual bool awaitScanEnd(const DeviceId& device, std::chrono::milliseconds timeout) = 0;
};

class KernelLink {
public:
    virtual ~KernelLink() = default;
    // nullopt: netlink failed or the kernel refused.
    virtual std::optional<Replies> dumpInterfaces() = 0;
    virtual std::optional<Replies> dumpScanResults(const DeviceId& device) = 0;
    virtual std::optional<Replies> dumpStations(const DeviceId& device) = 0;
    // nullptr when the subscription fails.
    virtual std::unique_ptr<ScanWatch> watchScans() = 0;
    // Asks for an active scan probing each SSID (an empty one is the wildcard).
    // 0: started; else the kernel's errno; nullopt: netlink failed.
    virtual std::optional<int> triggerScan(const DeviceId& device, const std::vector<wifi::Bytes>& probeSsids) = 0;
    // True only when the netdev exists and is administratively down.
    virtual bool isDown(const std::string& netdevName) = 0;
};

// The running kernel's nl80211; nullptr when it has none (cfg80211 not loaded)
// or netlink cannot be opened.
std::unique_ptr<KernelLink> openKernelLink();

}  // namespace netmoth::nl80211
