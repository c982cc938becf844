#pragma once
// The Wi-Fi client over nl80211: every wireless interface the kernel lists,
// asked for once, on first use.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Diagnostics.h"
#include "platform/WiFi.h"
#include "platform/linux/Lazy.h"
#include "platform/linux/Nl80211Interface.h"
#include "platform/linux/Nl80211Link.h"

namespace netmoth::linux_backend {

class Nl80211Client final : public platform::WiFiClient {
public:
    // Opens the link on first use; nullptr there means no nl80211 at all.
    using Connect = std::function<std::unique_ptr<Nl80211Link>()>;

    // diagnostics hears why the kernel gave less than a full answer; it must
    // outlive the client.
    Nl80211Client(Connect connect, platform::Diagnostics& diagnostics);

    // The first station-mode interface in interface-index order.
    platform::WiFiInterface* interface() override;
    // In interface-index order; devices without a netdev (P2P) last, as listed.
    std::optional<std::vector<platform::WiFiInterface*>> interfaces() override;

private:
    using InterfaceList = std::vector<std::unique_ptr<Nl80211Interface>>;

    const std::optional<InterfaceList>& loaded();
    std::optional<InterfaceList> load();

    Connect connect_;
    platform::Diagnostics& diagnostics_;
    std::unique_ptr<Nl80211Link> link_;  // outlives the interfaces, which use it
    Lazy<std::optional<InterfaceList>> interfaces_;
};

}  // namespace netmoth::linux_backend
