#include "platform/record/RecordingClient.h"

#include "platform/record/ScanRecord.h"

namespace netmoth::record {

std::optional<std::string> RecordingInterface::interfaceName() const {
    return name_.get([this] { return real_.interfaceName(); });
}

std::optional<std::string> RecordingInterface::ssid() const {
    return ssid_.get([this] { return real_.ssid(); });
}

std::optional<std::string> RecordingInterface::bssid() const {
    return bssid_.get([this] { return real_.bssid(); });
}

std::int64_t RecordingInterface::rssiValue() const {
    return rssi_.get([this] { return real_.rssiValue(); });
}

std::optional<platform::NetworkList> RecordingInterface::scanForNetworks(const std::optional<std::string>& name,
                                                                         bool includeHidden) {
    auto networks = real_.scanForNetworks(name, includeHidden);
    if (!scan_) scan_ = recordScan(networks, name);
    return networks;
}

scene::WrittenInterface RecordingInterface::written() const {
    return {.name = interfaceName(), .ssid = ssid(), .bssid = bssid(), .rssi = rssiValue(), .scan = scan_};
}

platform::WiFiInterface* RecordingClient::interface() {
    return default_.get([this] { return recorderOf(real_.interface()); });
}

std::optional<std::vector<platform::WiFiInterface*>> RecordingClient::interfaces() {
    const List& recorders = list();
    if (!recorders) return std::nullopt;
    return std::vector<platform::WiFiInterface*>(recorders->begin(), recorders->end());
}

scene::WrittenScene RecordingClient::written() {
    scene::WrittenScene scene;
    const List& recorders = list();
    if (!recorders) return scene;  // no default either: the scene cannot point into a missing list
    const platform::WiFiInterface* chosen = interface();
    scene.interfaces.emplace();
    for (const RecordingInterface* recorder : *recorders) {
        if (recorder == chosen && !scene.defaultInterface) scene.defaultInterface = scene.interfaces->size();
        scene.interfaces->push_back(recorder->written());
    }
    return scene;
}

RecordingInterface* RecordingClient::recorderOf(platform::WiFiInterface* real) {
    if (real == nullptr) return nullptr;
    auto& recorder = recorders_[real];
    if (!recorder) recorder = std::make_unique<RecordingInterface>(*real);
    return recorder.get();
}

const RecordingClient::List& RecordingClient::list() {
    return list_.get([this]() -> List {
        auto reals = real_.interfaces();
        if (!reals) return std::nullopt;
        std::vector<RecordingInterface*> recorders;
        recorders.reserve(reals->size());
        for (platform::WiFiInterface* real : *reals) recorders.push_back(recorderOf(real));
        return recorders;
    });
}

}  // namespace netmoth::record
