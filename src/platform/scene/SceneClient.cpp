#include "platform/scene/SceneClient.h"

#include <utility>

#include "platform/scene/SceneNetwork.h"

namespace netmoth::scene {

SceneInterface::SceneInterface(InterfaceSpec spec)
    : name_(std::move(spec.name)),
      ssid_(std::move(spec.ssid)),
      bssid_(std::move(spec.bssid)),
      rssi_(spec.rssi),
      scanFails_(spec.scan.fails),
      networks_(std::make_shared<const std::vector<NetworkSpec>>(std::move(spec.scan.networks))) {}

std::optional<platform::NetworkList> SceneInterface::scanForNetworks(const std::optional<std::string>& name,
                                                                     bool /*includeHidden*/) {
    if (scanFails_) return std::nullopt;
    platform::NetworkList found;
    for (const NetworkSpec& network : *networks_) {
        std::optional<std::string> reportedSsid;
        if (name && network.ssid != name) {
            // A hidden network answers a directed probe for its name with that name.
            if (network.answersProbeFor != name) continue;
            reportedSsid = name;
        }
        // Aliasing: each result keeps the whole list alive without a copy of its own.
        std::shared_ptr<const NetworkSpec> spec(networks_, &network);
        found.push_back(std::make_unique<SceneNetwork>(std::move(spec), std::move(reportedSsid)));
    }
    return found;
}

SceneClient::SceneClient(std::optional<std::vector<InterfaceSpec>> interfaces,
                         std::optional<std::size_t> defaultInterface)
    : hasList_(interfaces.has_value()) {
    if (!interfaces) return;
    interfaces_.reserve(interfaces->size());
    for (InterfaceSpec& spec : *interfaces) interfaces_.push_back(std::make_unique<SceneInterface>(std::move(spec)));
    if (defaultInterface && *defaultInterface < interfaces_.size()) default_ = interfaces_[*defaultInterface].get();
}

std::optional<std::vector<platform::WiFiInterface*>> SceneClient::interfaces() {
    if (!hasList_) return std::nullopt;
    std::vector<platform::WiFiInterface*> list;
    list.reserve(interfaces_.size());
    for (const auto& interface : interfaces_) list.push_back(interface.get());
    return list;
}

}  // namespace netmoth::scene
