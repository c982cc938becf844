// The answers as functions of values: every key, fallback and label, and the
// hidden-network numbers.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "report/HiddenSsidIndex.h"
#include "report/Reports.h"

namespace netmoth::report {
namespace {

using nlohmann::json;
using wifi::PhyMode;
using wifi::Security;

// report-cases.json: the channel each "channel" (number, width, band) shows
// as; "hiddenNumbers": the numbers "kept", then the "new" ones handed out in
// turn. Kept entries are int64 values; new numbers count on from the largest,
// and past INT64_MAX are the smallest non-negative numbers no entry holds.
const json kCases = json::parse(std::ifstream(NETMOTH_REPORT_CASES));

wifi::Network network(std::optional<std::string> bssid, std::optional<std::string> ssid) {
    return {std::move(bssid), std::move(ssid), 0, {}, {}, {}, {}};
}

json scan(const std::vector<wifi::Network>& networks, HiddenSsidIndex& hidden,
          std::string_view connected = "aa:aa:aa:aa:aa:01") {
    const Answer answer = scanReport(networks, connected, hidden);
    EXPECT_TRUE(answer.why.empty());
    return answer.line ? json::parse(*answer.line) : json();
}

// The whole record, byte for byte, is an end-to-end case (ScanRecordLayoutByteForByte).
TEST(ScanReport, ChannelWidthsAndBandsTheAnswerKnows) {
    HiddenSsidIndex hidden;
    for (const json& row : kCases.at("wlanChannel")) {
        wifi::Network odd = network("b", "x");
        odd.channel = wifi::Channel{row["channel"][0], row["channel"][1], row["channel"][2]};
        EXPECT_EQ(scan({odd}, hidden).at(0).at("wlanChannel"), row["shown"]);
    }
}

// One record per BSSID ("Unknown" when none) is an end-to-end case
// (ScanReportsEachBssidOnce). One record that is not UTF-8 drops the whole
// answer, yet every hidden network after it is still numbered.
TEST(ScanReport, AnUnwritableRecordStillLeavesEveryHiddenNetworkNumbered) {
    HiddenSsidIndex later;
    EXPECT_FALSE(scanReport({network("h1", std::nullopt), network("bad", "\xFF"), network("h2", "")}, "", later).line);
    EXPECT_EQ(later.numberByBssid.at("h2"), 1);
}

TEST(ScanReport, OnlyANonEmptyCurrentBssidMarksARecordConnected) {
    HiddenSsidIndex hidden;
    const std::vector<wifi::Network> networks{network("", "E"), network("aa:aa:aa:aa:aa:01", "O")};
    for (const std::string_view connected : {"", "AA:AA:AA:AA:AA:01"}) {
        for (const json& record : scan(networks, hidden, connected)) EXPECT_FALSE(record.contains("isConnected"));
    }
    EXPECT_EQ(scanReport({}, "", hidden).line, "[\n\n]");
}

TEST(Labels, SecurityInTheAnswersOrderAndWifiTypeDefaults) {
    EXPECT_EQ(securityText({Security::DynamicWep, Security::Wpa2Personal}), "WPA2-PSK, Dynamic-WEP");
    EXPECT_EQ(securityText({Security::Wpa2Enterprise, Security::Wpa3Personal}), "WPA3-SAE, WPA2-EAP");
    EXPECT_EQ(securityText({Security::None}), "None");
    EXPECT_EQ(wifiType(std::nullopt), 4);
    EXPECT_EQ(wifiType(PhyMode::None), 0);
    EXPECT_EQ(wifiType(PhyMode::AX), 6);
}

TEST(HiddenSsidIndex, KeepsInt64ValuesAndNeverRepeatsNorOverflows) {
    for (const json& row : kCases.at("hiddenNumbers")) {
        const auto stored = row.at("kept").get<store::HiddenNumbers>();
        HiddenSsidIndex index = loadHiddenSsidIndex(stored);
        EXPECT_EQ(index.numberByBssid, (std::unordered_map<std::string, std::int64_t>(stored.begin(), stored.end())));
        for (const auto& [bssid, number] : stored) EXPECT_EQ(hiddenSsidNumber(index, bssid), number);
        EXPECT_FALSE(index.changed) << "known BSSIDs do not change the index";
        json handedOut = json::array();
        for (std::size_t i = 0; i < row.at("new").size(); ++i)
            handedOut.push_back(hiddenSsidNumber(index, "new" + std::to_string(i)));
        EXPECT_EQ(handedOut, row.at("new"));
        EXPECT_EQ(hiddenSsidNumber(index, "new0"), handedOut[0]);
        EXPECT_TRUE(index.changed);
    }
}

}  // namespace
}  // namespace netmoth::report
