// The hidden-network numbers as launches see them: never given twice under
// concurrency, never lost to a crash.

#include <signal.h>
#include <sys/wait.h>

#include <random>
#include <set>
#include <thread>

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

std::set<std::int64_t> numbersIn(const json& index) {
    std::set<std::int64_t> numbers;
    for (const auto& [bssid, number] : index.items()) numbers.insert(number.get<std::int64_t>());
    return numbers;
}

TEST_F(ToolTest, ConcurrentScansNumberEveryHiddenBssidOnce) {
    constexpr int kLaunches = 8, kPerScene = 40;
    std::vector<std::thread> launches;
    std::vector<testing::ToolRun> results(kLaunches);
    for (int i = 0; i < kLaunches; ++i) {
        // Each scene overlaps the next by half, so launches race for shared BSSIDs too.
        const std::string path = writeScene("scene" + std::to_string(i) + ".json", sceneWith({}, i * kPerScene / 2, kPerScene));
        launches.emplace_back([this, path, &results, i] { results[i] = run(path); });
    }
    for (auto& t : launches) t.join();

    const json index = storedIndex();
    const std::size_t distinct = (kLaunches + 1) * kPerScene / 2;
    EXPECT_EQ(index.size(), distinct);
    EXPECT_EQ(numbersIn(index).size(), distinct) << "a number was given twice";
    for (const auto& result : results) {  // each hidden network is labelled with its stored number
        for (const json& record : json::parse(result.out)) {
            EXPECT_EQ(record.at("SSID"), "Hidden SSID " + index.at(record.at("bssid").get<std::string>()).dump());
        }
    }
}

TEST_F(ToolTest, KillingScansMidSaveNeverLeavesABrokenStoreOrARepeatedNumber) {
    const testing::ToolLaunch l = launch(writeScene("grow.json", sceneWith({}, 0, 20)));
    // Kill within one and a half launches, however slow this build starts.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(testing::runTool(NETMOTH_BINARY, l).exitCode, 0);
    const auto launchMicroseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();

    std::mt19937 random(20261206);
    std::map<std::string, std::int64_t> seen;
    for (int round = 1; round < 200; ++round) {
        writeScene("grow.json", sceneWith({}, round * 20, 20));
        const int pid = testing::startTool(NETMOTH_BINARY, l);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (launchMicroseconds * 3 / 2 + 1)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const json index = storedIndex();  // throws, failing the test, if the file is partial
        for (const auto& [bssid, number] : index.items()) {
            const auto [it, added] = seen.emplace(bssid, number.get<std::int64_t>());
            EXPECT_EQ(it->second, number.get<std::int64_t>()) << bssid << " was renumbered";
        }
        EXPECT_EQ(numbersIn(index).size(), index.size()) << "round " << round;
    }
    EXPECT_GT(seen.size(), 20u) << "no killed launch ever got to save";
    // The next save clears whatever temporary files killed saves left behind.
    writeScene("grow.json", sceneWith({}, 5000, 1));
    ASSERT_EQ(testing::runTool(NETMOTH_BINARY, l).exitCode, 0);
    for (const auto& entry : fs::directory_iterator(storeFile().parent_path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("defaults.json.tmp-")) << entry.path();
}

}  // namespace
}  // namespace netmoth::e2e
