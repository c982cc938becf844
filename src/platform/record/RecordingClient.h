#pragma once
// A Wi-Fi client that forwards to the real one and remembers what it answered,
// so the run can be written down as a scene.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WiFi.h"
#include "platform/record/Remembered.h"
#include "platform/scene/SceneWriter.h"

namespace netmoth::record {

class RecordingInterface final : public platform::WiFiInterface {
public:
    // real must outlive this.
    explicit RecordingInterface(platform::WiFiInterface& real) : real_(real) {}

    std::optional<std::string> interfaceName() const override;
    std::optional<std::string> ssid() const override;
    std::optional<std::string> bssid() const override;
    std::int64_t rssiValue() const override;
    // Each scan reaches the radio; the first one is what the record keeps.
    std::optional<platform::NetworkList> scanForNetworks(const std::optional<std::string>& name,
                                                         bool includeHidden) override;

    // What it answered; a fact the run never asked is asked now.
    scene::WrittenInterface written() const;

private:
    platform::WiFiInterface& real_;
    mutable Remembered<std::optional<std::string>> name_;
    mutable Remembered<std::optional<std::string>> ssid_;
    mutable Remembered<std::optional<std::string>> bssid_;
    mutable Remembered<std::int64_t> rssi_;
    std::optional<scene::WrittenScan> scan_;
};

class RecordingClient final : public platform::WiFiClient {
public:
    // real must outlive this.
    explicit RecordingClient(platform::WiFiClient& real) : real_(real) {}

    // The recorder of the default interface is the same object as its entry
    // in the list, as the real ones are.
    platform::WiFiInterface* interface() override;
    std::optional<std::vector<platform::WiFiInterface*>> interfaces() override;

    // The list and every interface in it with what it answered; the list and
    // the default interface are asked now if the run did not.
    scene::WrittenScene written();

private:
    using List = std::optional<std::vector<RecordingInterface*>>;

    RecordingInterface* recorderOf(platform::WiFiInterface* real);
    const List& list();

    platform::WiFiClient& real_;
    std::map<platform::WiFiInterface*, std::unique_ptr<RecordingInterface>> recorders_;
    Remembered<RecordingInterface*> default_;
    Remembered<List> list_;
};

}  // namespace netmoth::record
