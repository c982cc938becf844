#include "reports/NetworkScanReport.h"

#include <gtest/gtest.h>

#include "platform/posix/MemoryUserDefaults.h"
#include "support/FakePlatform.h"

namespace netmoth::reports {
namespace {

using nlohmann::json;
using testing::FakeNetwork;

FakeNetwork network(std::optional<std::string> bssid, std::optional<std::string> ssid) {
    FakeNetwork n;
    n.bssidValue = std::move(bssid);
    n.ssidValue = std::move(ssid);
    return n;
}

class Scan : public ::testing::Test {
protected:
    Scan() {
        interface.bssidValue = "aa:aa:aa:aa:aa:01";
        client.defaultInterface = &interface;
    }

    json records(std::optional<std::string> name = std::nullopt) {
        const ReportOutcome outcome = buildNetworkScanReport({client, client, defaults}, name);
        EXPECT_EQ(outcome.unbuiltText, "[]");
        EXPECT_FALSE(outcome.unwritableText);
        return outcome.built ? json::parse(outcome.text.value()) : json();
    }

    const json& stored() { return defaults.store().at("hiddenSsidIndexByBssid"); }

    testing::FakeInterface interface;
    testing::FakeClient client;
    platform::posix::MemoryUserDefaults defaults;
};

TEST_F(Scan, BuildsTheFullRecordOfANamedNetwork) {
    FakeNetwork home = network("aa:aa:aa:aa:aa:01", "Home/Net");
    home.rssi = -48;
    home.elements = platform::Bytes{0, 4, 'H', 'o', 'm', 'e'};
    home.channel = platform::WiFiChannel{36, 3, 2};
    home.security = {4, 11};
    home.phyModes = {1, 4, 5};
    interface.networks = {home};
    EXPECT_EQ(records(),
              json::array({json{{"bssid", "aa:aa:aa:aa:aa:01"},
                                {"isConnected", true},
                                {"SSID", "Home/Net"},
                                {"ie", "AARIb21l"},
                                {"wlanChannel", {{"channelNumber", 36}, {"channelWidth", 80}, {"channelBand", 5000}}},
                                {"rssi", -48},
                                {"security", "WPA2-PSK, WPA3-SAE"},
                                {"wifiType", 5}}}));
    EXPECT_EQ(defaults.writeCount(), 0);
}

TEST_F(Scan, MissingValuesGetFallbacksNeverNull) {
    interface.networks = {network(std::nullopt, "Cafe")};
    const json record = records().at(0);
    EXPECT_EQ(record.at("bssid"), "Unknown");
    EXPECT_EQ(record.at("ie"), "");
    EXPECT_EQ(record.at("wlanChannel"), "No channel info");
    EXPECT_EQ(record.at("security"), "");
    EXPECT_EQ(record.at("wifiType"), 4);
    EXPECT_FALSE(record.contains("isConnected"));
}

TEST_F(Scan, UnknownChannelCodesMapToTwentyMegahertzAndTheTwoGigahertzBand) {
    FakeNetwork odd = network("b", "x");
    odd.channel = platform::WiFiChannel{-7, 9, 0};
    interface.networks = {odd};
    EXPECT_EQ(records().at(0).at("wlanChannel"),
              (json{{"channelNumber", -7}, {"channelWidth", 20}, {"channelBand", 2400}}));
}

TEST_F(Scan, FirstOfEachBssidWinsAndDuplicatesTakeNoNumber) {
    interface.networks = {network("b1", std::nullopt), network("b1", "Later"), network(std::nullopt, ""),
                          network(std::nullopt, std::nullopt), network("B1", "case differs")};
    const json out = records();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].at("SSID"), "Hidden SSID 0");
    EXPECT_EQ(out[1].at("bssid"), "Unknown");
    EXPECT_EQ(out[1].at("SSID"), "Hidden SSID 1");
    EXPECT_EQ(out[2].at("bssid"), "B1");
    EXPECT_EQ(stored(), (json{{"b1", 0}, {"Unknown", 1}}));
}

TEST_F(Scan, HiddenNumbersPersistAndTheStoreIsOnlyWrittenForNewOnes) {
    interface.networks = {network("h1", ""), network("h2", std::nullopt)};
    records();
    EXPECT_EQ(defaults.writeCount(), 1);
    interface.networks = {network("h2", std::nullopt), network("h3", std::nullopt), network("h1", "")};
    const json out = records();
    EXPECT_EQ(out[0].at("SSID"), "Hidden SSID 1");
    EXPECT_EQ(out[1].at("SSID"), "Hidden SSID 2");
    EXPECT_EQ(out[2].at("SSID"), "Hidden SSID 0");
    EXPECT_EQ(defaults.writeCount(), 2);
    records();
    EXPECT_EQ(defaults.writeCount(), 2);
}

// One record that is not UTF-8 drops the whole answer, yet every hidden
// network after it is still numbered and saved.
TEST_F(Scan, AnUnwritableRecordLeavesNoTextButHiddenNumbersAreStillSaved) {
    interface.networks = {network("h1", std::nullopt), network("bad", "\xFF"), network("h2", "")};
    const ReportOutcome outcome = buildNetworkScanReport({client, client, defaults}, std::nullopt);
    ASSERT_TRUE(outcome.built);
    EXPECT_FALSE(outcome.text);
    EXPECT_FALSE(outcome.unwritableText);
    EXPECT_EQ(stored(), (json{{"h1", 0}, {"h2", 1}}));
}

TEST_F(Scan, OnlyANonEmptyCurrentBssidMarksARecordConnected) {
    interface.bssidValue = std::nullopt;
    interface.networks = {network("", "Empty bssid text"), network("aa:aa:aa:aa:aa:01", "Other")};
    for (const json& record : records()) EXPECT_FALSE(record.contains("isConnected")) << record;
    interface.bssidValue = "AA:AA:AA:AA:AA:01";  // exact text equality: case matters
    for (const json& record : records()) EXPECT_FALSE(record.contains("isConnected")) << record;
}

TEST_F(Scan, PassesTheNameThroughAndKeepsWhateverTheRadioReturns) {
    interface.networks = {network("x", "Other")};
    EXPECT_EQ(records("").size(), 1u);
    EXPECT_EQ(interface.scannedNames.back(), "");
    interface.networks.clear();
    EXPECT_EQ(records("Home"), json::array());
}

TEST_F(Scan, FailuresFallBackWithoutTouchingTheStore) {
    interface.networks = {network("h", std::nullopt)};
    interface.scanFails = true;
    EXPECT_FALSE(buildNetworkScanReport({client, client, defaults}, std::nullopt).built);
    client.defaultInterface = nullptr;
    EXPECT_FALSE(buildNetworkScanReport({client, client, defaults}, std::nullopt).built);
    EXPECT_EQ(interface.scannedNames.size(), 1u);
    EXPECT_EQ(defaults.writeCount(), 0);
    EXPECT_EQ(defaults.store(), json::object());
}

}  // namespace
}  // namespace netmoth::reports
