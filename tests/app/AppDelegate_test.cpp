#include "app/AppDelegate.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/MyApp.h"
#include "app/PermissionWord.h"
#include "platform/posix/MemoryUserDefaults.h"
#include "support/FakePlatform.h"

namespace netmoth::app {
namespace {

using testing::CallLog;

// One default interface joined to "Home" that also sees "Home" in its scan.
class Launch : public ::testing::Test {
protected:
    Launch() {
        interface.name = "wlan0";
        interface.ssidValue = "Home";
        interface.bssidValue = "aa:bb:cc:dd:ee:ff";
        interface.log = &log;
        testing::FakeNetwork home;
        home.ssidValue = "Home";
        home.bssidValue = "aa:bb:cc:dd:ee:ff";
        interface.networks.push_back(home);
        services.client.defaultInterface = &interface;
        services.client.list = std::vector<platform::WiFiInterface*>{&interface};
        services.log = &log;
    }

    std::string run(std::vector<std::string> arguments) {
        std::ostringstream out;
        platform::Diagnostics diagnostics;
        MyApp app(services, std::move(arguments), out, diagnostics);
        EXPECT_EQ(app.run(), 0);
        return out.str();
    }

    CallLog log;
    testing::FakeInterface interface;
    platform::posix::MemoryUserDefaults defaults;
    testing::FakeServices services{defaults};
};

bool isScanReport(const std::string& out) { return out.starts_with("[\n  {"); }
bool isInterfacesReport(const std::string& out) { return out.starts_with("{\n  \"wlan0\" : {"); }
bool isSignalReport(const std::string& out) { return out.find("\"AA:BB:CC:DD:EE:FF\"") != std::string::npos; }

TEST_F(Launch, ReportSwitchesCountOnlyAsTheLastArgument) {
    EXPECT_TRUE(isInterfacesReport(run({"/bin/tool", "--isRetrievingInterfaces"})));
    EXPECT_TRUE(isInterfacesReport(run({"/bin/tool", "--isRetrievingInterfaces-and-more"})));
    EXPECT_TRUE(isSignalReport(run({"/bin/tool", "--ssid=Home", "--isRetrievingConnectedSignal"})));
    EXPECT_TRUE(isScanReport(run({"/bin/tool", "--isRetrievingInterfaces", "--ssid=Home"})));
    EXPECT_TRUE(isScanReport(run({"/bin/tool", "--isRetrievingConnectedSignal", "stray"})));
    // The program's own path is an argument like any other.
    EXPECT_TRUE(isInterfacesReport(run({"--isRetrievingInterfaces"})));
}

TEST_F(Launch, ScanTakesTheLastSsidSwitchAndKeepsAnEmptyName) {
    run({"/bin/tool", "--ssid=A", "--ssid=\"B\""});
    run({"/bin/tool", "--ssid="});
    run({"/bin/tool"});
    run({});
    EXPECT_EQ(interface.scannedNames, (std::vector<std::optional<std::string>>{"B", "", std::nullopt, std::nullopt}));
}

TEST_F(Launch, EveryReportAsksForPermissionOnceBeforeTouchingTheRadio) {
    for (const char* job : {"--isRetrievingInterfaces", "--isRetrievingConnectedSignal", "--ssid=Home"}) {
        log.clear();
        run({"/bin/tool", job});
        ASSERT_GE(log.size(), 3u) << job;
        EXPECT_EQ(log[0], "setDelegate") << job;
        EXPECT_EQ(log[1], "requestWhenInUseAuthorization") << job;
        EXPECT_EQ(std::count(log.begin(), log.end(), "requestWhenInUseAuthorization"), 1) << job;
    }
}

TEST_F(Launch, ReportModeIgnoresTheAuthorizationCallback) {
    const std::string out = run({"/bin/tool", "--isRetrievingConnectedSignal"});
    EXPECT_EQ(out, "{\n  \"bssid\" : \"AA:BB:CC:DD:EE:FF\",\n  \"rssi\" : 0,\n  \"ssid\" : \"Home\"\n}\n");
}

TEST_F(Launch, PermissionSwitchAnywhereAnswersFromTheCallbackAlone) {
    services.status = 2;
    EXPECT_EQ(run({"/bin/tool", "--isCheckingLocationPermission", "--isRetrievingInterfaces"}), "denied\n");
    EXPECT_EQ(log, (CallLog{"setDelegate"}));
}

TEST_F(Launch, WithoutALocationManagerTheReportStillRuns) {
    services.makesManager = false;
    EXPECT_TRUE(isInterfacesReport(run({"/bin/tool", "--isRetrievingInterfaces"})));
}

TEST_F(Launch, FallbackTextsAreTwoCharactersAndOneLineFeed) {
    services.client.defaultInterface = nullptr;
    services.client.list = std::nullopt;
    EXPECT_EQ(run({"/bin/tool"}), "[]\n");
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingConnectedSignal"}), "{}\n");
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingInterfaces"}), "{}\n");
}

TEST_F(Launch, AReportThatCannotBeWrittenPrintsOnlyItsFallback) {
    interface.ssidValue = std::string("\xFF\xFE");  // not UTF-8: the writer refuses it
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingConnectedSignal"}), "{}\n");
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingInterfaces"}), "");
}

TEST(PermissionWord, OnlyAlwaysAuthorizedCountsAsAuthorized) {
    EXPECT_EQ(permissionWord(0), "notDetermined");
    EXPECT_EQ(permissionWord(1), "denied");
    EXPECT_EQ(permissionWord(2), "denied");
    EXPECT_EQ(permissionWord(3), "authorized");
    EXPECT_EQ(permissionWord(4), "notDetermined");
    EXPECT_EQ(permissionWord(5), "notDetermined");
    EXPECT_EQ(permissionWord(INT32_MIN), "notDetermined");
}

}  // namespace
}  // namespace netmoth::app
