#pragma once
// The simulated Wi-Fi client: interfaces and scan results served from a scene.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WiFi.h"
#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

class SceneInterface final : public platform::WiFiInterface {
public:
    explicit SceneInterface(InterfaceSpec spec);

    std::optional<std::string> interfaceName() const override { return name_; }
    std::optional<std::string> ssid() const override { return ssid_; }
    std::optional<std::string> bssid() const override { return bssid_; }
    std::int64_t rssiValue() const override { return rssi_; }
    // includeHidden is not consulted: like the Linux backend, a scan reports
    // hidden networks too.
    std::optional<platform::NetworkList> scanForNetworks(const std::optional<std::string>& name,
                                                         bool includeHidden) override;

private:
    std::optional<std::string> name_;
    std::optional<std::string> ssid_;
    std::optional<std::string> bssid_;
    std::int64_t rssi_;
    bool scanFails_;
    // Shared with the networks a scan returns, so they may outlive the scene.
    std::shared_ptr<const std::vector<NetworkSpec>> networks_;
};

class SceneClient final : public platform::WiFiClient {
public:
    SceneClient(std::optional<std::vector<InterfaceSpec>> interfaces, std::optional<std::size_t> defaultInterface);

    platform::WiFiInterface* interface() override { return default_; }
    std::optional<std::vector<platform::WiFiInterface*>> interfaces() override;

private:
    std::vector<std::unique_ptr<SceneInterface>> interfaces_;
    bool hasList_;
    platform::WiFiInterface* default_ = nullptr;
};

}  // namespace netmoth::scene
