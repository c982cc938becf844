#pragma once
// One scan result: a fresh object over a network of the scene.

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/WiFi.h"
#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

class SceneNetwork final : public platform::WiFiNetwork {
public:
    // reportedSsid, when set, replaces the scene's SSID (a directed probe's answer).
    SceneNetwork(std::shared_ptr<const NetworkSpec> spec, std::optional<std::string> reportedSsid)
        : spec_(std::move(spec)), reportedSsid_(std::move(reportedSsid)) {}

    std::optional<std::string> ssid() const override { return reportedSsid_ ? reportedSsid_ : spec_->ssid; }
    std::optional<std::string> bssid() const override { return spec_->bssid; }
    std::int64_t rssiValue() const override { return spec_->rssi; }
    std::optional<platform::Bytes> informationElementData() const override { return spec_->informationElements; }
    std::optional<platform::WiFiChannel> wlanChannel() const override { return spec_->channel; }
    bool supportsSecurity(std::int64_t security) const override { return spec_->security.contains(security); }
    bool supportsPHYMode(std::int64_t phyMode) const override { return spec_->phyModes.contains(phyMode); }

private:
    std::shared_ptr<const NetworkSpec> spec_;
    std::optional<std::string> reportedSsid_;
};

}  // namespace netmoth::scene
