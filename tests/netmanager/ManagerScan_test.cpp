// The network managers' side of a fresh scan, against a scripted peer on a
// private bus: what each is asked, and what its answers make of the scan.
#include "netmanager/ManagerScan.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/ToolProcess.h"

namespace netmoth::netmanager {
namespace {

using namespace std::chrono_literals;
using Outcome = ManagerScan::Outcome;
using Lines = std::vector<std::string>;

// A bus of our own, named as the system bus for the code under test.
class PrivateBus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::filesystem::temp_directory_path() / ("netmoth-bus-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        address_ = "unix:path=" + (folder_ / "bus").string();
        daemon_ = testing::startTool(NETMOTH_DBUS_DAEMON, {{"--session", "--nofork", "--address=" + address_}, {}});
        for (int tries = 0; tries < 100 && !std::filesystem::exists(folder_ / "bus"); ++tries) {
            std::this_thread::sleep_for(50ms);
        }
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    }
    static void TearDownTestSuite() {
        kill(daemon_, SIGTERM);
        waitpid(daemon_, nullptr, 0);
        std::filesystem::remove_all(folder_);
    }

    // Runs the scan with NetworkManager and iwd playing the given parts;
    // returns the requests they got, one per line.
    Lines scanWith(const std::string& networkManager, const std::string& iwd, const std::string& netdev,
                   const std::optional<std::string>& name, std::chrono::milliseconds wait = 10s) {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0) return {"no pipe"};
        const int peer = testing::startTool(
            NETMOTH_SYSTEM_PYTHON3, {{NETMOTH_MANAGER_PEER, address_, networkManager, iwd}, {}, 20s, pipeFds[1]});
        close(pipeFds[1]);
        FILE* requests = fdopen(pipeFds[0], "r");
        Lines lines;
        char line[512];
        const bool ready = fgets(line, sizeof line, requests) != nullptr && std::string(line) == "ready\n";
        if (ready) result = scanThroughManager(netdev, name, wait);
        kill(peer, SIGTERM);
        waitpid(peer, nullptr, 0);
        while (fgets(line, sizeof line, requests) != nullptr) lines.emplace_back(line, std::strlen(line) - 1);
        fclose(requests);
        if (!ready) lines.insert(lines.begin(), "peer not ready");
        return lines;
    }

    ManagerScan result;
    static inline std::filesystem::path folder_;
    static inline std::string address_;
    static inline int daemon_ = -1;
};

TEST_F(PrivateBus, NetworkManagerScansFirstWithTheNameAsADirectedProbe) {
    EXPECT_EQ(scanWith("ok", "ok", "wlan0", "Cafe"), (Lines{"GetDeviceByIpIface wlan0", "RequestScan Cafe"}));
    EXPECT_EQ(result.outcome, Outcome::Finished);
    EXPECT_EQ(result.manager, "NetworkManager");
    EXPECT_TRUE(result.probed);
    // No name, or one no SSID can hold: a scan for every network.
    for (const auto& name : {std::optional<std::string>(), std::optional(std::string(33, 'x'))}) {
        EXPECT_EQ(scanWith("ok", "absent", "wlan0", name), (Lines{"GetDeviceByIpIface wlan0", "RequestScan "}));
        EXPECT_EQ(result.outcome, Outcome::Finished);
        EXPECT_FALSE(result.probed);
    }
}

TEST_F(PrivateBus, IwdScansWhenNetworkManagerRefusesOrIsAbsent) {
    EXPECT_EQ(scanWith("refuse", "ok", "wlan0", "Cafe"),
              (Lines{"GetDeviceByIpIface wlan0", "RequestScan Cafe", "GetManagedObjects", "Scan"}));
    EXPECT_EQ(result.outcome, Outcome::Finished);
    EXPECT_EQ(result.manager, "iwd");
    EXPECT_FALSE(result.probed);
    EXPECT_EQ(scanWith("absent", "ok", "wlan0", std::nullopt), (Lines{"GetManagedObjects", "Scan"}));
    EXPECT_EQ(result.manager, "iwd");
}

TEST_F(PrivateBus, EveryRefusalIsNamedAndNoScanIsClaimed) {
    scanWith("refuse", "refuse", "wlan0", std::nullopt);
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_EQ(result.refusals,
              "NetworkManager: Scanning not allowed while unavailable; iwd: Operation not permitted");
    EXPECT_EQ(scanWith("ok", "ok", "wlan9", std::nullopt), (Lines{"GetDeviceByIpIface wlan9", "GetManagedObjects"}));
    EXPECT_EQ(result.refusals,
              "NetworkManager: No device found for the requested iface.; iwd: it runs no station named wlan9");
    scanWith("absent", "absent", "wlan0", std::nullopt);
    EXPECT_EQ(result.refusals, "NetworkManager: not running; iwd: not running");
}

TEST_F(PrivateBus, AScanThatDoesNotEndInTimeIsUnfinished) {
    EXPECT_EQ(scanWith("silent", "ok", "wlan0", "Cafe", 1s), (Lines{"GetDeviceByIpIface wlan0", "RequestScan Cafe"}));
    EXPECT_EQ(result.outcome, Outcome::Unfinished);
    EXPECT_EQ(result.manager, "NetworkManager");
}

TEST(NoBus, IsARefusalThatSaysSo) {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/netmoth-bus", 1);
    const ManagerScan result = scanThroughManager("wlan0", std::nullopt, 1s);
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_NE(result.refusals.find("the system bus cannot be reached"), std::string::npos) << result.refusals;
}

}  // namespace
}  // namespace netmoth::netmanager
