// TEMPORARY: stands in for ieee80211::networkFrom until the elements-once
// branch provides it; only what the backend tests read. Goes with the merge.
#include "ieee80211/Bss.h"
#include "platform/ieee80211/ElementDecoder.h"

namespace netmoth::ieee80211 {

wifi::Network networkFrom(const RadioFacts& facts) {
    wifi::Network network;
    network.bssid = facts.bssid;
    network.ssid = facts.ssid ? facts.ssid : facts.elements ? ssidFromElements(*facts.elements) : std::nullopt;
    network.rssi = facts.signalDbm;
    network.elements = facts.elements;
    return network;
}

}  // namespace netmoth::ieee80211
