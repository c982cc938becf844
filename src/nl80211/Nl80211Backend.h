#pragma once
// The Linux backend: Wi-Fi facts from the kernel's nl80211 family. The link
// is opened when first asked; each fact is asked of the kernel once per
// launch, and diagnostics hears why the kernel gave less than a full answer.
// When the kernel does not let this process scan, the network manager is
// asked to (netmanager/ManagerScan.h) before the cache is read.

#include <functional>
#include <memory>

#include "netmanager/ManagerScan.h"
#include "nl80211/KernelLink.h"
#include "util/Diagnostics.h"
#include "wifi/Backend.h"

namespace netmoth::nl80211 {

// Opens the link; nullptr there means the kernel has no nl80211 at all.
using OpenLink = std::function<std::unique_ptr<KernelLink>()>;

// Scans on a netdev through the network manager: netmanager::scanThroughManager.
using ScanByManager = std::function<netmanager::ManagerScan(
    const std::string& netdev, const std::optional<std::string>& name, std::chrono::milliseconds wait)>;

// diagnostics must outlive the backend.
std::unique_ptr<wifi::Backend> makeNl80211Backend(util::Diagnostics& diagnostics);
std::unique_ptr<wifi::Backend> makeNl80211Backend(OpenLink openLink, ScanByManager scanByManager,
                                                  util::Diagnostics& diagnostics);

}  // namespace netmoth::nl80211
