#pragma once
// In-memory Wi-Fi and location objects for tests: plain fields in, and a log
// of the calls the program made, so tests can check what was asked and when.

#include <set>
#include <string>
#include <vector>

#include "platform/PlatformServices.h"

namespace netmoth::testing {

using CallLog = std::vector<std::string>;

inline void note(CallLog* log, const char* call) {
    if (log != nullptr) log->push_back(call);
}

struct FakeNetwork final : platform::WiFiNetwork {
    std::optional<std::string> ssidValue;
    std::optional<std::string> bssidValue;
    std::int64_t rssi = 0;
    std::optional<platform::Bytes> elements;
    std::optional<platform::WiFiChannel> channel;
    std::set<std::int64_t> security;
    std::set<std::int64_t> phyModes;

    std::optional<std::string> ssid() const override { return ssidValue; }
    std::optional<std::string> bssid() const override { return bssidValue; }
    std::int64_t rssiValue() const override { return rssi; }
    std::optional<platform::Bytes> informationElementData() const override { return elements; }
    std::optional<platform::WiFiChannel> wlanChannel() const override { return channel; }
    bool supportsSecurity(std::int64_t value) const override { return security.count(value) != 0; }
    bool supportsPHYMode(std::int64_t value) const override { return phyModes.count(value) != 0; }
};

struct FakeInterface final : platform::WiFiInterface {
    std::optional<std::string> name;
    std::optional<std::string> ssidValue;
    std::optional<std::string> bssidValue;
    std::int64_t rssi = 0;
    bool scanFails = false;
    std::vector<FakeNetwork> networks;
    CallLog* log = nullptr;
    std::vector<std::optional<std::string>> scannedNames;

    std::optional<std::string> interfaceName() const override { return note(log, "interfaceName"), name; }
    std::optional<std::string> ssid() const override { return note(log, "ssid"), ssidValue; }
    std::optional<std::string> bssid() const override { return note(log, "bssid"), bssidValue; }
    std::int64_t rssiValue() const override { return note(log, "rssi"), rssi; }
    std::optional<platform::NetworkList> scanForNetworks(const std::optional<std::string>& scanName, bool) override {
        note(log, "scan");
        scannedNames.push_back(scanName);
        if (scanFails) return std::nullopt;
        platform::NetworkList list;
        for (const FakeNetwork& network : networks) list.push_back(std::make_unique<FakeNetwork>(network));
        return list;
    }
};

struct FakeClient final : platform::WiFiClient {
    FakeInterface* defaultInterface = nullptr;
    std::optional<std::vector<platform::WiFiInterface*>> list = std::vector<platform::WiFiInterface*>{};

    platform::WiFiInterface* interface() override { return defaultInterface; }
    std::optional<std::vector<platform::WiFiInterface*>> interfaces() override { return list; }
};

struct FakeLocationManager final : platform::LocationManager {
    platform::RunLoop& runLoop;
    std::int32_t status;
    bool delivers;
    CallLog* log;

    FakeLocationManager(platform::RunLoop& loop, std::int32_t statusValue, bool deliversCallback, CallLog* callLog)
        : runLoop(loop), status(statusValue), delivers(deliversCallback), log(callLog) {}
    void setDelegate(platform::LocationManagerDelegate* delegate) override {
        note(log, "setDelegate");
        if (delivers && delegate != nullptr) {
            runLoop.post([this, delegate] { delegate->locationManagerDidChangeAuthorization(*this); });
        }
    }
    void requestWhenInUseAuthorization() override { note(log, "requestWhenInUseAuthorization"); }
    std::int32_t authorizationStatus() const override { return status; }
};

// A platform of fakes; the location manager it makes is kept for inspection.
struct FakeServices final : platform::PlatformServices {
    FakeClient client;
    platform::UserDefaults& defaults;
    std::int32_t status = 3;
    bool delivers = true;
    bool makesManager = true;
    CallLog* log = nullptr;

    explicit FakeServices(platform::UserDefaults& store) : defaults(store) {}
    platform::WiFiClient& sharedWiFiClient() override { return client; }
    std::unique_ptr<platform::LocationManager> makeLocationManager(platform::RunLoop& runLoop) override {
        if (!makesManager) return nullptr;
        return std::make_unique<FakeLocationManager>(runLoop, status, delivers, log);
    }
    platform::UserDefaults& standardUserDefaults() override { return defaults; }
};

}  // namespace netmoth::testing
