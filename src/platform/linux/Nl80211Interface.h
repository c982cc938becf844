#pragma once
// One nl80211 interface as the reports see it. Facts beyond the interface
// dump (its BSS, its AP's signal) are asked of the kernel once, when first read.

#include <vector>

#include "platform/Diagnostics.h"
#include "platform/WiFi.h"
#include "platform/linux/Lazy.h"
#include "platform/linux/Nl80211Link.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {

class Nl80211Interface final : public platform::WiFiInterface {
public:
    // link and diagnostics must outlive the interface.
    Nl80211Interface(Nl80211Link& link, InterfaceInfo info, platform::Diagnostics& diagnostics);

    const InterfaceInfo& info() const { return info_; }

    std::optional<std::string> interfaceName() const override;
    std::optional<std::string> ssid() const override;
    std::optional<std::string> bssid() const override;
    std::int64_t rssiValue() const override;
    std::optional<platform::NetworkList> scanForNetworks(const std::optional<std::string>& name,
                                                         bool includeHidden) override;

private:
    std::optional<std::string> findBssid() const;
    const std::vector<BssEntry>& knownBsses() const;
    const std::vector<StationInfo>& stations() const;

    // The name as the lines on standard error show it.
    std::string shownName() const;

    Nl80211Link& link_;
    InterfaceInfo info_;
    platform::Diagnostics& diagnostics_;
    mutable Lazy<std::vector<BssEntry>> knownBsses_;
    mutable Lazy<std::vector<StationInfo>> stations_;
    mutable Lazy<std::optional<std::string>> bssid_;
};

}  // namespace netmoth::linux_backend
