#include "reports/NetworkScanReport.h"

#include <unordered_set>

#include "platform/Base64.h"
#include "platform/JsonWriter.h"
#include "reports/HiddenSsidIndex.h"
#include "reports/NetworkLabels.h"

namespace netmoth::reports {
namespace {

constexpr std::string_view kEmptyArray = "[]";

std::int64_t widthInMHz(std::int64_t code) {
    switch (code) {
        case 2:
            return 40;
        case 3:
            return 80;
        case 4:
            return 160;
        default:
            return 20;  // 1, and every code the platform calls unknown
    }
}

std::int64_t bandInMHz(std::int64_t code) {
    switch (code) {
        case 2:
            return 5000;
        case 3:
            return 6000;
        default:
            return 2400;  // 1, and every code the platform calls unknown
    }
}

nlohmann::json channelRecord(const std::optional<platform::WiFiChannel>& channel) {
    if (!channel) return "No channel info";
    return {{"channelNumber", channel->channelNumber},
            {"channelWidth", widthInMHz(channel->channelWidth)},
            {"channelBand", bandInMHz(channel->channelBand)}};
}

std::string currentBssid(platform::WiFiClient& sharedClient) {
    platform::WiFiInterface* interface = sharedClient.interface();
    if (interface == nullptr) return {};
    return interface->bssid().value_or(std::string{});
}

nlohmann::json networkRecord(const platform::WiFiNetwork& network, const std::string& bssid,
                             const std::string& connectedBssid, HiddenSsidIndex& hidden) {
    nlohmann::json record = nlohmann::json::object();
    record["bssid"] = bssid;
    // Without an association the current BSSID is empty; it must not match a
    // network whose BSSID text happens to be empty too.
    if (!connectedBssid.empty() && bssid == connectedBssid) record["isConnected"] = true;
    std::optional<std::string> ssid = network.ssid();
    record["SSID"] = ssid && !ssid->empty() ? std::move(*ssid) : hiddenSsidLabel(hidden, bssid);
    const std::optional<platform::Bytes> elements = network.informationElementData();
    record["ie"] = elements ? platform::encodeBase64(*elements) : std::string{};
    record["wlanChannel"] = channelRecord(network.wlanChannel());
    record["rssi"] = network.rssiValue();
    record["security"] = supportedSecurityTypes(network);
    record["wifiType"] = supportedPHYModes(network);
    return record;
}

}  // namespace

ReportOutcome buildNetworkScanReport(const ScanSources& sources, const std::optional<std::string>& name) {
    const auto unbuilt = [](std::string_view why) {
        return ReportOutcome{false, std::nullopt, kEmptyArray, std::nullopt, why};
    };
    platform::WiFiInterface* interface = sources.client.interface();
    if (interface == nullptr) return unbuilt(why::kNoInterface);
    const std::string connectedBssid = currentBssid(sources.sharedClient);
    std::optional<platform::NetworkList> networks = interface->scanForNetworks(name, true);
    if (!networks) return unbuilt(why::kScanFailed);

    // Held until the numbers are saved, so concurrent scans number in turn.
    const std::unique_ptr<platform::DefaultsLease> lease = sources.defaults.acquire();
    HiddenSsidIndex hidden = loadHiddenSsidIndex(lease->objectForKey(kHiddenSsidIndexKey));
    // Each record is written as soon as it is built: a scan of many networks
    // never holds them all as JSON values. Records are still built after one
    // proves unwritable, so every hidden network gets its number.
    platform::PrettyArrayWriter records;
    std::unordered_set<std::string> seenBssids;
    for (const auto& network : *networks) {
        std::string bssid = network->bssid().value_or("Unknown");
        if (!seenBssids.insert(bssid).second) continue;
        records.append(networkRecord(*network, bssid, connectedBssid, hidden));
    }
    saveHiddenSsidIndex(hidden, *lease);
    return {true, std::move(records).finish(), kEmptyArray, std::nullopt};
}

}  // namespace netmoth::reports
