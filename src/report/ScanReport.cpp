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

// One record, written member by member in the order a JSON object of them
// keeps its keys (byte order): no JSON value is built per network.
void writeRecord(util::PrettyArrayWriter& records, const wifi::Network& network, std::string_view bssid,
                 std::string_view connectedBssid, report::HiddenSsidIndex& hidden) {
    const bool named = network.ssid && !network.ssid->empty();
    const std::string label = named ? std::string() : hiddenSsidLabel(hidden, std::string(bssid));
    records.beginObject();
    records.stringMember("SSID", named ? std::string_view(*network.ssid) : std::string_view(label));
    records.stringMember("bssid", bssid);
    records.stringMember("ie", network.elements ? util::encodeBase64(*network.elements) : std::string{});
    // Without an association the current BSSID is empty; it must not match a
    // network whose BSSID text happens to be empty too.
    if (!connectedBssid.empty() && bssid == connectedBssid) records.booleanMember("isConnected", true);
    records.integerMember("rssi", network.rssi);
    records.stringMember("security", securityText(network.security));
    records.integerMember("wifiType", wifiType(network.highestPhyMode));
    if (!network.channel) {
        records.stringMember("wlanChannel", "No channel info");
    } else {
        const wifi::Channel& channel = *network.channel;
        records.beginObjectMember("wlanChannel");
        records.integerMember("channelBand", channel.bandMHz == 0 ? 2400 : std::int64_t{channel.bandMHz});
        records.integerMember("channelNumber", channel.number);
        records.integerMember("channelWidth", answeredWidth(channel.widthMHz));
        records.endObject();
    }
    records.endObject();
}

}  // namespace

Answer scanReport(const std::vector<wifi::Network>& networks, std::string_view connectedBssid,
                  report::HiddenSsidIndex& hidden) {
    // Each record is written as soon as it is read. Records are still read
    // after one proves unwritable, so every hidden network gets its number.
    util::PrettyArrayWriter records;
    // A record takes about 500 bytes (most of them the elements): room for
    // all at once, and for the line feed after them, spares copying a long
    // answer as it grows. Room never written costs no memory beyond the
    // (possibly huge) page the answer ends in.
    records.reserve(networks.size() * 640 + 8);
    std::unordered_set<std::string_view> seenBssids;  // views into networks
    seenBssids.reserve(networks.size());
    for (const wifi::Network& network : networks) {
        const std::string_view bssid = network.bssid ? std::string_view(*network.bssid) : "Unknown";
        if (!seenBssids.insert(bssid).second) continue;
        writeRecord(records, network, bssid, connectedBssid, hidden);
    }
    return {std::move(records).finish(), {}};
}

Answer scanFallback(std::string_view why) { return {"[]", why}; }

}  // namespace netmoth::report
