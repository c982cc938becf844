#include <gtest/gtest.h>

#include "reports/ConnectedSignalReport.h"
#include "reports/InterfacesReport.h"
#include "support/FakePlatform.h"

namespace netmoth::reports {
namespace {

using nlohmann::json;

// The report's answer read back as a value; null when it was not built.
json valueOf(const ReportOutcome& outcome) {
    return outcome.built && outcome.text ? json::parse(*outcome.text) : json();
}
using testing::FakeClient;
using testing::FakeInterface;

FakeInterface joined(std::optional<std::string> ssid, std::optional<std::string> bssid, std::int64_t rssi = -48) {
    FakeInterface interface;
    interface.name = "wlan0";
    interface.ssidValue = std::move(ssid);
    interface.bssidValue = std::move(bssid);
    interface.rssi = rssi;
    return interface;
}

TEST(ConnectedSignal, ReportsNameUpperCasedBssidAndSignal) {
    FakeInterface interface = joined("Home", "aa:0b:cc:dd:ee:f9", -71);
    FakeClient client;
    client.defaultInterface = &interface;
    const ReportOutcome outcome = buildConnectedSignalReport(client);
    EXPECT_EQ(valueOf(outcome), (json{{"ssid", "Home"}, {"bssid", "AA:0B:CC:DD:EE:F9"}, {"rssi", -71}}));
    EXPECT_EQ(outcome.unwritableText, "{}");
}

TEST(ConnectedSignal, EmptyNameIsStillANetwork) {
    FakeInterface interface = joined("", "aa:bb:cc:dd:ee:ff");
    FakeClient client;
    client.defaultInterface = &interface;
    EXPECT_EQ(valueOf(buildConnectedSignalReport(client)).at("ssid"), "");
}

TEST(ConnectedSignal, UpperCasingIsUnicodeAware) {
    FakeInterface interface = joined("x", "\xC3\xA9t\xC3\xA9-\xCE\xBC");  // "été-μ"
    FakeClient client;
    client.defaultInterface = &interface;
    EXPECT_EQ(valueOf(buildConnectedSignalReport(client)).at("bssid"), "\xC3\x89T\xC3\x89-\xCE\x9C");
}

TEST(ConnectedSignal, FallsBackWithoutInterfaceNameOrBssidAndStopsAsking) {
    FakeClient client;
    EXPECT_FALSE(buildConnectedSignalReport(client).built);

    testing::CallLog log;
    FakeInterface noName = joined(std::nullopt, "aa:bb:cc:dd:ee:ff");
    noName.log = &log;
    client.defaultInterface = &noName;
    const ReportOutcome outcome = buildConnectedSignalReport(client);
    EXPECT_FALSE(outcome.built);
    EXPECT_EQ(outcome.unbuiltText, "{}");
    EXPECT_EQ(log, testing::CallLog{"ssid"});

    FakeInterface noBssid = joined("Home", std::nullopt);
    client.defaultInterface = &noBssid;
    EXPECT_FALSE(buildConnectedSignalReport(client).built);
}

TEST(Interfaces, ListsEveryNamedInterfaceWithEmptyTextForMissingValues) {
    FakeInterface joinedOne = joined("Home", "aa:bb:cc:dd:ee:ff");
    FakeInterface idle = joined(std::nullopt, std::nullopt);
    idle.name = "wlan1";
    FakeInterface ssidOnly = joined("Lab", std::nullopt);
    ssidOnly.name = "wlan2";
    FakeInterface nameless = joined("Ghost", "00:00:00:00:00:01");
    nameless.name = std::nullopt;
    FakeClient client;
    client.list = std::vector<platform::WiFiInterface*>{&joinedOne, &idle, &nameless, &ssidOnly};
    const ReportOutcome outcome = buildInterfacesReport(client);
    EXPECT_EQ(valueOf(outcome), (json{{"wlan0", {{"ssid", "Home"}, {"bssid", "aa:bb:cc:dd:ee:ff"}}},
                                      {"wlan1", {{"ssid", ""}, {"bssid", ""}}},
                                      {"wlan2", {{"ssid", "Lab"}, {"bssid", ""}}}}));
    EXPECT_FALSE(outcome.unwritableText);
}

TEST(Interfaces, LaterInterfaceOfTheSameNameWins) {
    FakeInterface first = joined("A", "aa:aa:aa:aa:aa:aa");
    FakeInterface second = joined("B", "bb:bb:bb:bb:bb:bb");
    FakeClient client;
    client.list = std::vector<platform::WiFiInterface*>{&first, &second};
    EXPECT_EQ(valueOf(buildInterfacesReport(client)).at("wlan0").at("ssid"), "B");
}

TEST(Interfaces, NoListFallsBackButAnEmptyListIsAnEmptyReport) {
    FakeClient client;
    EXPECT_EQ(valueOf(buildInterfacesReport(client)), json::object());
    client.list = std::nullopt;
    const ReportOutcome outcome = buildInterfacesReport(client);
    EXPECT_FALSE(outcome.built);
    EXPECT_EQ(outcome.unbuiltText, "{}");
}

}  // namespace
}  // namespace netmoth::reports
