#pragma once
// The Wi-Fi operations the reports rely on. Every backend (scene, Linux, ...)
// implements these; the reports never see anything else of the radio.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace netmoth::platform {

using Bytes = std::vector<std::uint8_t>;

// Platform channel codes. Width: 1, 2, 3, 4 = 20, 40, 80, 160 MHz, 0 = unknown.
// Band: 1 = 2.4 GHz, 2 = 5 GHz, 3 = 6 GHz, 0 = unknown. Any other integer may
// arrive from a backend and is mapped by the report.
struct WiFiChannel {
    std::int64_t channelNumber = 0;
    std::int64_t channelWidth = 0;
    std::int64_t channelBand = 0;
};

class WiFiNetwork {
public:
    virtual ~WiFiNetwork() = default;
    virtual std::optional<std::string> ssid() const = 0;
    virtual std::optional<std::string> bssid() const = 0;
    virtual std::int64_t rssiValue() const = 0;
    virtual std::optional<Bytes> informationElementData() const = 0;
    virtual std::optional<WiFiChannel> wlanChannel() const = 0;
    // Raw security / PHY-mode values as the platform numbers them.
    virtual bool supportsSecurity(std::int64_t security) const = 0;
    virtual bool supportsPHYMode(std::int64_t phyMode) const = 0;
};

using NetworkList = std::vector<std::unique_ptr<WiFiNetwork>>;

class WiFiInterface {
public:
    virtual ~WiFiInterface() = default;
    virtual std::optional<std::string> interfaceName() const = 0;
    virtual std::optional<std::string> ssid() const = 0;
    virtual std::optional<std::string> bssid() const = 0;
    virtual std::int64_t rssiValue() const = 0;
    // Blocks until the radio answers. nullopt: the scan failed. A name asks
    // for that network (a directed probe finds it even when hidden).
    virtual std::optional<NetworkList> scanForNetworks(const std::optional<std::string>& name, bool includeHidden) = 0;
};

class WiFiClient {
public:
    virtual ~WiFiClient() = default;
    // The default Wi-Fi interface, or nullptr when there is none.
    virtual WiFiInterface* interface() = 0;
    // Every Wi-Fi interface in platform order; nullopt when the platform gives no list.
    virtual std::optional<std::vector<WiFiInterface*>> interfaces() = 0;
};

}  // namespace netmoth::platform
