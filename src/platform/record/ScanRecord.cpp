#include "platform/record/ScanRecord.h"

#include <cstdint>
#include <vector>

#include "platform/ieee80211/RadioNetwork.h"

namespace netmoth::record {
namespace {

// Every security and PHY-mode value a report asks lies below this.
constexpr std::int64_t kValuesAsked = 16;

template <typename Supports>
std::vector<std::int64_t> supportedValues(Supports supports) {
    std::vector<std::int64_t> values;
    for (std::int64_t value = 0; value < kValuesAsked; ++value) {
        if (supports(value)) values.push_back(value);
    }
    return values;
}

scene::ReportedNetwork reported(const platform::WiFiNetwork& network) {
    return {.ssid = network.ssid(),
            .bssid = network.bssid(),
            .rssi = network.rssiValue(),
            .elements = network.informationElementData(),
            .channel = network.wlanChannel(),
            .security = supportedValues([&](std::int64_t value) { return network.supportsSecurity(value); }),
            .phyModes = supportedValues([&](std::int64_t value) { return network.supportsPHYMode(value); })};
}

// Radio facts keep what the radio said, so a replay derives the rest with the
// decoder of its own build. Without a frequency the scene derives no PHY modes
// while the radio network still reads them from the elements: such a network
// is written with its answers instead.
scene::NetworkDescription describe(const platform::WiFiNetwork& network) {
    const auto* radio = dynamic_cast<const ieee80211::RadioDescribed*>(&network);
    if (radio != nullptr && radio->radioFacts().frequencyMHz) return radio->radioFacts();
    return reported(network);
}

scene::WrittenNetwork recordNetwork(const platform::WiFiNetwork& network, const std::optional<std::string>& name) {
    scene::WrittenNetwork written{describe(network), std::nullopt};
    // A replayed scan for a name keeps the networks whose SSID equals it; one
    // that answered under another SSID (or none) is kept through the probe.
    if (name && network.ssid() != name) written.answersProbeFor = name;
    return written;
}

}  // namespace

scene::WrittenScan recordScan(const std::optional<platform::NetworkList>& networks,
                              const std::optional<std::string>& name) {
    scene::WrittenScan scan;
    if (!networks) {
        scan.fails = true;
        return scan;
    }
    for (const auto& network : *networks) scan.networks.push_back(recordNetwork(*network, name));
    return scan;
}

}  // namespace netmoth::record
