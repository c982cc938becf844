#pragma once
// How a scan request is phrased and what its answer means for the caller.

#include <optional>
#include <string>
#include <vector>

#include "platform/WiFi.h"

namespace netmoth::linux_backend {

enum class AfterTrigger {
    AwaitScanEnd,  // our scan, or one already running, will end with an event
    ReadCache,     // no scan of ours: the kernel's earlier results are all there is
    Fail,          // the device cannot be reached
};

// error: the kernel's errno for the trigger (0: started); nullopt: netlink failed.
AfterTrigger afterTrigger(std::optional<int> error);

// The SSIDs to probe: always the wildcard, so the scan is active, and the
// name too when it fits an SSID, so a hidden network answers to it.
std::vector<platform::Bytes> probeSsidsFor(const std::optional<std::string>& name);

}  // namespace netmoth::linux_backend
