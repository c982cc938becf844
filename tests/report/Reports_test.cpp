// The answers as functions of values: every key, fallback and label, and the
// hidden-network numbers.

#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "report/HiddenSsidIndex.h"
#include "report/Reports.h"

namespace netmoth::report {
namespace {

using nlohmann::json;
using wifi::PhyMode;
using wifi::Security;

wifi::Network network(std::optional<std::string> bssid, std::optional<std::string> ssid) {
    wifi::Network n;
    n.bssid = std::move(bssid);
    n.ssid = std::move(ssid);
    return n;
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
    for (const auto& [width, band, shownWidth, shownBand] :
         {std::tuple{0u, 0u, 20, 2400}, {320u, 6000u, 160, 6000}, {40u, 2400u, 40, 2400}}) {
        wifi::Network odd = network("b", "x");
        odd.channel = wifi::Channel{-7, width, band};
        EXPECT_EQ(scan({odd}, hidden).at(0).at("wlanChannel"),
                  (json{{"channelNumber", -7}, {"channelWidth", shownWidth}, {"channelBand", shownBand}}));
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
    const std::vector<wifi::Network> networks{network("", "Empty bssid text"), network("aa:aa:aa:aa:aa:01", "Other")};
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

// Kept entries are int64 values; new numbers count on from the largest, and
// past INT64_MAX are the smallest non-negative numbers no entry holds.
TEST(HiddenSsidIndex, KeepsInt64ValuesAndNeverRepeatsNorOverflows) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max(),
                           kMin = std::numeric_limits<std::int64_t>::min();
    const std::pair<store::HiddenNumbers, std::vector<std::int64_t>> cases[] = {
        // kept, then handed out in turn
        {{}, {0, 1}},
        {{{"a", 0}, {"b", 5}}, {6, 7}},
        {{{"a", -3}}, {-2}},
        {{{"lo", kMin}}, {kMin + 1}},
        {{{"m", kMax}, {"a", 0}, {"b", 1}, {"c", 3}, {"d", -1}}, {2, 4, 5}},
        {{{"m", kMax - 1}, {"a", 0}}, {kMax, 1, 2}}};
    for (const auto& [stored, expected] : cases) {
        HiddenSsidIndex index = loadHiddenSsidIndex(stored);
        EXPECT_EQ(index.numberByBssid, (std::unordered_map<std::string, std::int64_t>(stored.begin(), stored.end())));
        for (const auto& [bssid, number] : stored) EXPECT_EQ(hiddenSsidNumber(index, bssid), number);
        EXPECT_FALSE(index.changed) << "known BSSIDs do not change the index";
        std::vector<std::int64_t> handedOut;
        for (std::size_t i = 0; i < expected.size(); ++i)
            handedOut.push_back(hiddenSsidNumber(index, "new" + std::to_string(i)));
        EXPECT_EQ(handedOut, expected);
        EXPECT_EQ(hiddenSsidNumber(index, "new0"), handedOut[0]);
        EXPECT_TRUE(index.changed);
    }
}

}  // namespace
}  // namespace netmoth::report
