// The default job's answer: one record per distinct BSSID the scan found.

#include <algorithm>
#include <unordered_set>

#include "util/Base64.h"
#include "util/JsonWriter.h"
#include "report/Reports.h"

namespace netmoth::report {
namespace {

// The answer knows widths up to 160 MHz; wider channels (320) read as the
// widest it knows, and an unknown width as the narrowest.
std::int64_t answeredWidth(std::uint32_t widthMHz) {
    return widthMHz == 0 ? 20 : std::min<std::int64_t>(widthMHz, 160);
}

nlohmann::json channelRecord(const std::optional<wifi::Channel>& channel) {
    if (!channel) return "No channel info";
    return {{"channelNumber", channel->number},
            {"channelWidth", answeredWidth(channel->widthMHz)},
            {"channelBand", channel->bandMHz == 0 ? 2400 : std::int64_t{channel->bandMHz}}};
}

nlohmann::json networkRecord(const wifi::Network& network, const std::string& bssid, std::string_view connectedBssid,
                             report::HiddenSsidIndex& hidden) {
    nlohmann::json record = nlohmann::json::object();
    record["bssid"] = bssid;
    // Without an association the current BSSID is empty; it must not match a
    // network whose BSSID text happens to be empty too.
    if (!connectedBssid.empty() && bssid == connectedBssid) record["isConnected"] = true;
    record["SSID"] = network.ssid && !network.ssid->empty() ? *network.ssid : hiddenSsidLabel(hidden, bssid);
    record["ie"] = network.elements ? util::encodeBase64(*network.elements) : std::string{};
    record["wlanChannel"] = channelRecord(network.channel);
    record["rssi"] = network.rssi;
    record["security"] = securityText(network.security);
    record["wifiType"] = wifiType(network.highestPhyMode);
    return record;
}

}  // namespace

Answer scanReport(const std::vector<wifi::Network>& networks, std::string_view connectedBssid,
                  report::HiddenSsidIndex& hidden) {
    // Each record is written as soon as it is built: a scan of many networks
    // never holds them all as JSON values. Records are still built after one
    // proves unwritable, so every hidden network gets its number.
    util::PrettyArrayWriter records;
    std::unordered_set<std::string> seenBssids;
    for (const wifi::Network& network : networks) {
        std::string bssid = network.bssid.value_or("Unknown");
        if (!seenBssids.insert(bssid).second) continue;
        records.append(networkRecord(network, bssid, connectedBssid, hidden));
    }
    return {std::move(records).finish(), {}};
}

Answer scanFallback(std::string_view why) { return {"[]", why}; }

}  // namespace netmoth::report
