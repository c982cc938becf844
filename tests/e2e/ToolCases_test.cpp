// Each case launches the binary on a scene and compares what it prints: short
// answers byte for byte, JSON reports by value (member order is free).

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

struct Case {
    std::string name;
    std::string scene;
    std::vector<std::string> arguments;
    std::string exactOutput;   // compared byte for byte when expectedJson is empty
    std::string expectedJson;  // file under expected/
    std::string why = "";      // the one line standard error must hold, after the program's name
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ToolCase : public ToolTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ToolCase, PrintsExactlyTheExpectedAnswer) {
    const Case& c = GetParam();
    const testing::ToolRun result = run(c.scene, c.arguments);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, c.why.empty() ? "" : "netmoth-companion: " + c.why + "\n");
    if (c.expectedJson.empty()) {
        EXPECT_EQ(result.out, c.exactOutput);
    } else {
        EXPECT_EQ(json::parse(result.out), expectedReport(c.expectedJson)) << result.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, ToolCase,
    ::testing::Values(Case{"ScanReportsEachBssidOnce", "home.json", {}, "", "home-scan.json"},
                      Case{"ConnectedSignal", "home.json", {"--isRetrievingConnectedSignal"}, "", "home-signal.json"},
                      Case{"Interfaces", "home.json", {"--isRetrievingInterfaces"}, "", "home-interfaces.json"},
                      Case{"ScanOfAnEmptyRadioIsAnEmptyReportNotTheFallback", "empty-radio.json", {}, "[\n\n]\n", ""},
                      Case{"PermissionWinsWherever",
                           "home.json",
                           {"--isCheckingLocationPermission", "--isRetrievingInterfaces"},
                           "authorized\n",
                           ""},
                      Case{"ReportModeNeverWaitsForTheSilentLocationService",
                           "location-silent.json",
                           {"--isRetrievingInterfaces"},
                           "{\n\n}\n",
                           "",
                           "no Wi-Fi interface: connect a Wi-Fi adapter or load its driver"},
                      Case{"ScanWithoutInterfaceSaysWhy",
                           "no-wifi.json",
                           {},
                           "[]\n",
                           "",
                           "no Wi-Fi interface: connect a Wi-Fi adapter or load its driver"},
                      Case{"FailedScanSaysWhy",
                           "scan-fails.json",
                           {},
                           "[]\n",
                           "",
                           "the scan failed, so there is no list of networks: try again"},
                      Case{"SignalOfNoNetworkSaysWhy",
                           "not-associated.json",
                           {"--isRetrievingConnectedSignal"},
                           "{}\n",
                           "",
                           "the Wi-Fi interface is not joined to a network: join one to read its signal"},
                      Case{"NoInterfaceListSaysWhy",
                           "no-interface-list.json",
                           {"--isRetrievingInterfaces"},
                           "{}\n",
                           "",
                           "the system gives no list of Wi-Fi interfaces: check that the Wi-Fi driver is loaded"},
                      Case{"VersionForPeopleOnly", "home.json", {"--version"}, "netmoth-companion 0.1.0\n", ""},
                      Case{"VersionAnywhereElseIsAnIgnoredArgument",
                           "home.json",
                           {"--version", "--isRetrievingConnectedSignal"},
                           "",
                           "home-signal.json"}),
    [](const ::testing::TestParamInfo<Case>& testInfo) { return testInfo.param.name; });

TEST_F(ToolTest, PermissionModeIdlesUntilTheLocationServiceAnswers) {
    testing::ToolLaunch l = launch("location-silent.json", {"--isCheckingLocationPermission"});
    l.timeout = std::chrono::milliseconds(1500);
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace netmoth::e2e
