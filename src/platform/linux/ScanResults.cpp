#include "platform/linux/ScanResults.h"

#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::linux_backend {
namespace {

constexpr std::int32_t kMbmPerDbm = 100;

bool wanted(const ieee80211::RadioFacts& facts, const std::optional<std::string>& name, bool includeHidden) {
    if (name) return facts.ssid == name;
    return includeHidden || facts.ssid.has_value();
}

}  // namespace

ieee80211::RadioFacts radioFactsOf(const BssEntry& entry) {
    ieee80211::RadioFacts facts;
    facts.bssid = entry.bssid;
    // The latest elements (probe response) first; a BSS only heard by its
    // beacon may carry the beacon's alone.
    facts.elements = entry.elements ? entry.elements : entry.beaconElements;
    if (facts.elements) facts.ssid = ieee80211::ssidFromElements(*facts.elements);
    // Truncates toward zero, as iw's "-47.12 dBm" reads -47. A driver giving
    // only an unscaled 0..100 quality leaves the signal unknown (0).
    if (entry.signalMbm) facts.signalDbm = *entry.signalMbm / kMbmPerDbm;
    facts.frequencyMHz = entry.frequencyMHz;
    facts.capability = entry.capability.value_or(0);
    return facts;
}

platform::NetworkList networksFrom(const std::vector<BssEntry>& entries, const std::optional<std::string>& name,
                                   bool includeHidden) {
    platform::NetworkList networks;
    for (const auto& entry : entries) {
        auto facts = radioFactsOf(entry);
        if (wanted(facts, name, includeHidden)) {
            networks.push_back(ieee80211::makeRadioNetwork(std::move(facts)));
        }
    }
    return networks;
}

}  // namespace netmoth::linux_backend
