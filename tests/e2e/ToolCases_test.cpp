// Each case launches the binary on a scene and compares what it prints:
// fallback texts and permission words byte for byte, JSON reports by value
// (member order is free) plus the layout every JSON answer shares.

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

using nlohmann::json;

struct Case {
    std::string name;
    std::string scene;
    std::vector<std::string> arguments;
    std::string exactOutput;    // compared byte for byte when expectedJson is empty
    std::string expectedJson;   // file under expected/
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ToolCase : public ToolTest, public ::testing::WithParamInterface<Case> {};

void expectJsonLayout(const std::string& out) {
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(out.ends_with("]\n") || out.ends_with("}\n")) << out;
    EXPECT_FALSE(out.ends_with("\n\n")) << "no blank line after the report";
    EXPECT_NE(out.find('\n'), out.size() - 1) << "pretty printed over several lines";
}

TEST_P(ToolCase, PrintsExactlyTheExpectedAnswer) {
    const Case& c = GetParam();
    const testing::ToolRun result = run(c.scene, c.arguments);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    if (c.expectedJson.empty()) {
        EXPECT_EQ(result.out, c.exactOutput);
        return;
    }
    expectJsonLayout(result.out);
    const json expected = json::parse(readFile(std::string(NETMOTH_E2E_DIR) + "/expected/" + c.expectedJson));
    EXPECT_EQ(json::parse(result.out), expected) << result.out;
}


INSTANTIATE_TEST_SUITE_P(
    Jobs, ToolCase,
    ::testing::Values(
        Case{"ScanReportsEachBssidOnce", "home.json", {}, "", "home-scan.json"},
        Case{"ScanForAHiddenNameFindsItsProbeAnswer", "home.json", {"--ssid=\"Lab\""}, "", "home-scan-lab.json"},
        Case{"ScanForAnAbsentNameIsAnEmptyReport", "home.json", {"--ssid=Nowhere"}, "[\n\n]\n", ""},
        Case{"ScanOfAnEmptyRadioIsAnEmptyReport", "empty-radio.json", {}, "[\n\n]\n", ""},
        Case{"ScanWithoutInterfaceFallsBack", "no-wifi.json", {}, "[]\n", ""},
        Case{"FailedScanFallsBack", "scan-fails.json", {}, "[]\n", ""},
        Case{"NotAssociatedMarksNothingConnected", "not-associated.json", {}, "", "not-associated-scan.json"},
        Case{"ConnectedSignal", "home.json", {"--isRetrievingConnectedSignal"}, "", "home-signal.json"},
        Case{"ConnectedSignalExactLayout", "joined-empty-name.json", {"--isRetrievingConnectedSignal"},
             "{\n  \"bssid\" : \"AA:BB:CC:DD:EE:0F\",\n  \"rssi\" : -5,\n  \"ssid\" : \"\"\n}\n", ""},
        Case{"ConnectedSignalWithoutInterface", "no-wifi.json", {"--isRetrievingConnectedSignal"}, "{}\n", ""},
        Case{"ConnectedSignalWhenNotJoined", "empty-radio.json", {"--isRetrievingConnectedSignal"}, "{}\n", ""},
        Case{"Interfaces", "home.json", {"--isRetrievingInterfaces"}, "", "home-interfaces.json"},
        Case{"InterfacesOfAMachineWithoutWifi", "no-wifi.json", {"--isRetrievingInterfaces"}, "{\n\n}\n", ""},
        Case{"InterfacesWithoutAList", "no-interface-list.json", {"--isRetrievingInterfaces"}, "{}\n", ""},
        Case{"ReportSwitchNotLastRunsTheScan", "no-wifi.json", {"--isRetrievingInterfaces", "x"}, "[]\n", ""},
        Case{"PermissionWinsWherever", "home.json", {"--isCheckingLocationPermission", "--isRetrievingInterfaces"},
             "authorized\n", ""},
        Case{"PermissionWithoutLocationInScene", "no-wifi.json", {"--isCheckingLocationPermission"}, "authorized\n", ""},
        Case{"PermissionNotDetermined", "location-0.json", {"--isCheckingLocationPermission"}, "notDetermined\n", ""},
        Case{"PermissionRestricted", "location-1.json", {"--isCheckingLocationPermission"}, "denied\n", ""},
        Case{"PermissionDenied", "location-2.json", {"--isCheckingLocationPermission"}, "denied\n", ""},
        Case{"PermissionAuthorized", "location-3.json", {"--isCheckingLocationPermission"}, "authorized\n", ""},
        Case{"PermissionWhenInUse", "location-4.json", {"--isCheckingLocationPermission"}, "notDetermined\n", ""},
        Case{"PermissionUnknownStatus", "location-7.json", {"--isCheckingLocationPermission"}, "notDetermined\n", ""},
        Case{"PermissionLowestStatus", "location--2147483648.json", {"--isCheckingLocationPermission"},
             "notDetermined\n", ""},
        Case{"CombiningMarkOnTheLastLetterBreaksTheSwitch", "no-wifi.json", {"--isRetrievingInterfaces\xCC\x81"}, "[]\n", ""},
        Case{"CombiningMarkAfterEqualsIsNoSsidSwitch", "home.json", {"--ssid=\xCC\x81Lab"}, "", "home-scan.json"},
        Case{"InvalidUtf8ArgumentsAreTolerated", "no-wifi.json", {"\xFF\xFE", "--ssid=\xC3", "--isRetrievingInterfaces"},
             "{\n\n}\n", ""}),
    [](const ::testing::TestParamInfo<Case>& testInfo) { return testInfo.param.name; });

TEST_F(ToolTest, ReportModeNeverWaitsForTheSilentLocationService) {
    EXPECT_EQ(run("location-silent.json", {"--isRetrievingInterfaces"}).out, "{\n\n}\n");
}

TEST_F(ToolTest, PermissionModeIdlesUntilTheLocationServiceAnswers) {
    testing::ToolLaunch l = launch("location-silent.json", {"--isCheckingLocationPermission"});
    l.timeout = std::chrono::milliseconds(1500);
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.out, "");
}

TEST_F(ToolTest, UnusableSceneIsOneLineOnStandardErrorAndStatusTwo) {
    for (const char* scene : {"malformed.json", "wrong-shape.json", "does-not-exist.json"}) {
        const testing::ToolRun result = run(scene);
        EXPECT_EQ(result.exitCode, 2) << scene;
        EXPECT_EQ(result.out, "") << scene;
        EXPECT_TRUE(result.err.ends_with("\n")) << scene;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << scene << ": " << result.err;
    }
}

}  // namespace
}  // namespace netmoth::e2e
