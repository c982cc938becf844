#include "platform/linux/Nl80211Interface.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <chrono>

#include "platform/Utf8.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/linux/ScanPlan.h"
#include "platform/linux/ScanResults.h"

namespace netmoth::linux_backend {
namespace {

// A scan on an associated station can take over 20 s (it returns to its
// channel between probes).
constexpr std::chrono::milliseconds kScanTimeout{45'000};

bool isAssociated(const BssEntry& entry) {
    return entry.status == NL80211_BSS_STATUS_ASSOCIATED || entry.status == NL80211_BSS_STATUS_IBSS_JOINED;
}

// Only a client's station list holds its AP; an AP's or mesh point's lists its peers.
bool isClientOfAnAp(const std::optional<std::uint32_t>& type) {
    return type == NL80211_IFTYPE_STATION || type == NL80211_IFTYPE_P2P_CLIENT;
}

template <class Parser>
auto parsedOrEmpty(const std::optional<std::vector<platform::Bytes>>& replies, Parser parse) {
    return parseEach(replies.value_or(std::vector<platform::Bytes>{}), parse);
}

}  // namespace

Nl80211Interface::Nl80211Interface(Nl80211Link& link, InterfaceInfo info) : link_(link), info_(std::move(info)) {}

std::optional<std::string> Nl80211Interface::interfaceName() const {
    // A netdev name may be any bytes but '/' and white space; reports need text.
    if (!info_.name) return std::nullopt;
    return platform::decodeUtf8Lossy(*info_.name);
}

std::optional<std::string> Nl80211Interface::ssid() const {
    if (!info_.ssid) return std::nullopt;
    return ieee80211::ssidText(*info_.ssid);
}

std::optional<std::string> Nl80211Interface::bssid() const {
    return bssid_.get([this] { return findBssid(); });
}

std::int64_t Nl80211Interface::rssiValue() const {
    auto ap = bssid();
    if (!ap) return 0;
    const auto& known = stations();
    auto station = std::find_if(known.begin(), known.end(), [&](const StationInfo& entry) { return entry.mac == *ap; });
    if (station == known.end() || !station->signalDbm) return 0;
    return *station->signalDbm;
}

std::optional<platform::NetworkList> Nl80211Interface::scanForNetworks(const std::optional<std::string>& name,
                                                                       bool includeHidden) {
    auto watch = link_.watchScans();
    if (!watch) return std::nullopt;
    switch (afterTrigger(link_.triggerScan(info_.device, probeSsidsFor(name)))) {
        case AfterTrigger::Fail:
            return std::nullopt;
        case AfterTrigger::AwaitScanEnd:
            // On a timeout the cache still holds whatever the scan found so far.
            watch->awaitScanEnd(info_.device, kScanTimeout);
            break;
        case AfterTrigger::ReadCache:
            break;
    }
    auto replies = link_.dumpScanResults(info_.device);
    if (!replies) return std::nullopt;
    return networksFrom(parseEach(*replies, parseBss), name, includeHidden);
}

std::optional<std::string> Nl80211Interface::findBssid() const {
    const auto& bsses = knownBsses();
    auto joined = std::find_if(bsses.begin(), bsses.end(), isAssociated);
    if (joined != bsses.end()) return joined->bssid;
    if (isClientOfAnAp(info_.type) && !stations().empty()) return stations().front().mac;
    return std::nullopt;
}

const std::vector<BssEntry>& Nl80211Interface::knownBsses() const {
    return knownBsses_.get([this] { return parsedOrEmpty(link_.dumpScanResults(info_.device), parseBss); });
}

const std::vector<StationInfo>& Nl80211Interface::stations() const {
    return stations_.get([this] { return parsedOrEmpty(link_.dumpStations(info_.device), parseStation); });
}

}  // namespace netmoth::linux_backend
