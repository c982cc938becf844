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
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "support/Files.h"
#include "support/ToolProcess.h"

namespace netmoth::netmanager {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using nlohmann::json;

// A bus of our own, named as the system bus for the code under test. Both
// managers are installed on it, ready to be started on demand, as on a
// machine that runs one and has the other's package too.
class PrivateBus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::filesystem::temp_directory_path() / ("netmoth-bus-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_ / "services");
        address_ = "unix:path=" + (folder_ / "bus").string();
        testing::writeFile(
            folder_ / "bus.conf",
            "<busconfig><type>session</type><listen>" + address_ + "</listen><servicedir>" +
                (folder_ / "services").string() +
                "</servicedir><policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                "<allow own=\"*\"/></policy></busconfig>\n");
        for (const std::string name : {"org.freedesktop.NetworkManager", "net.connman.iwd"}) {
            testing::writeFile(folder_ / "services" / (name + ".service"),
                      "[D-BUS Service]\nName=" + name + "\nExec=/bin/touch " + startedMark().string() + "\n");
        }
        daemon_ = testing::startTool(NETMOTH_DBUS_DAEMON,
                                     {{"--config-file=" + (folder_ / "bus.conf").string(), "--nofork"}, {}});
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

    // Runs the scan of a row of scan-cases.json; returns the requests the managers got, one per line.
    Lines scanWith(const json& row) {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0) return {"no pipe"};
        const int peer = testing::startTool(
            NETMOTH_SYSTEM_PYTHON3,
            {{NETMOTH_MANAGER_PEER, address_, row["manager modes"][0], row["manager modes"][1]}, {}, 20s, pipeFds[1]});
        close(pipeFds[1]);
        FILE* requests = fdopen(pipeFds[0], "r");
        Lines lines;
        char line[512];
        const bool ready = fgets(line, sizeof line, requests) != nullptr && std::string(line) == "ready\n";
        const auto name = row["name"].is_null() ? std::nullopt : std::optional(row["name"].get<std::string>());
        if (ready)
            result = scanThroughManager(row["netdev"], name, std::chrono::milliseconds(row.value("wait ms", 10000)));
        kill(peer, SIGTERM);
        waitpid(peer, nullptr, 0);
        while (fgets(line, sizeof line, requests) != nullptr) lines.emplace_back(line, std::strlen(line) - 1);
        fclose(requests);
        if (!ready) lines.insert(lines.begin(), "peer not ready");
        return lines;
    }

    static std::filesystem::path startedMark() { return folder_ / "a-manager-was-started"; }

    ManagerScan result;
    static inline std::filesystem::path folder_;
    static inline std::string address_;
    static inline int daemon_ = -1;
};

// Each row of scan-cases.json: NetworkManager and iwd playing the "manager
// modes" while the scan for "netdev" (and "name", if any) waits "wait ms"
// (default 10 s) get the "requests", and their answers make the scan's
// "result": [outcome, manager, probed, refusals]. The first manager that
// scans ends the search; a name no SSID can hold is sent as no probe.
TEST_F(PrivateBus, EachManagerIsAskedInTurnAndItsAnswerDecides) {
    const char* outcomes[] = {"Finished", "Unfinished", "Refused"};
    for (const json& row : json::parse(std::ifstream(NETMOTH_SCAN_CASES))) {
        SCOPED_TRACE(row.dump());
        EXPECT_EQ(scanWith(row), row["requests"].get<Lines>());
        EXPECT_EQ(json({outcomes[static_cast<int>(result.outcome)], result.manager, result.probed, result.refusals}),
                  row["result"]);
    }
    EXPECT_FALSE(std::filesystem::exists(startedMark())) << "a manager that was not running was started";
}

TEST(NoBus, IsARefusalThatSaysSo) {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/netmoth-bus", 1);
    const ManagerScan result = scanThroughManager("wlan0", std::nullopt, 1s);
    EXPECT_EQ(result.outcome, ManagerScan::Outcome::Refused);
    EXPECT_NE(result.refusals.find("the system bus cannot be reached"), std::string::npos) << result.refusals;
}

}  // namespace
}  // namespace netmoth::netmanager
