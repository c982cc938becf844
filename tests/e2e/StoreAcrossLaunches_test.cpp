// The hidden-network numbers as launches see them: kept across launches,
// never given twice under concurrency, never lost to a crash.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <thread>

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

using nlohmann::json;

std::set<std::int64_t> numbersIn(const json& index) {
    std::set<std::int64_t> numbers;
    for (const auto& [bssid, number] : index.items()) numbers.insert(number.get<std::int64_t>());
    return numbers;
}

// A scene whose one scan lists `count` hidden BSSIDs starting at `first`.
std::string writeHiddenScene(const std::filesystem::path& file, int first, int count) {
    json networks = json::array();
    for (int i = first; i < first + count; ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:%02x:%02x:%02x", (i >> 16) & 0xff, (i >> 8) & 0xff, i & 0xff);
        networks.push_back({{"bssid", bssid}});
    }
    const json scene = {{"defaultInterface", 0}, {"interfaces", {{{"name", "wlan0"}, {"scan", {{"networks", networks}}}}}}};
    std::ofstream(file) << scene.dump();
    return file.string();
}

TEST_F(ToolTest, HiddenNumbersSurviveLaunchesAndOtherKeysAreKept) {
    std::filesystem::create_directories(storeFile().parent_path());
    std::ofstream(storeFile()) << R"({"theme": "dark", "hiddenSsidIndexByBssid": {"02:00:00:00:00:05": 7, "x": "text"}})";
    const json first = json::parse(run("hidden-many.json").out);
    EXPECT_EQ(first[0].at("SSID"), "Hidden SSID 8");
    EXPECT_EQ(first[4].at("SSID"), "Hidden SSID 7");
    EXPECT_EQ(first[9].at("SSID"), "Hidden SSID 16");
    EXPECT_EQ(first[10].at("SSID"), "Named");
    const json stored = json::parse(readFile(storeFile()));
    EXPECT_EQ(stored.at("theme"), "dark");
    EXPECT_FALSE(stored.at("hiddenSsidIndexByBssid").contains("x"));

    const auto modified = std::filesystem::last_write_time(storeFile());
    EXPECT_EQ(json::parse(run("hidden-many.json").out), first);
    EXPECT_EQ(std::filesystem::last_write_time(storeFile()), modified) << "nothing new, nothing written";
}

TEST_F(ToolTest, StoreIsPrivateToTheUser) {
    run("hidden-many.json");
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(stat(storeFile().parent_path().c_str(), &folder), 0);
    ASSERT_EQ(stat(storeFile().c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
}

TEST_F(ToolTest, DamagedStoreIsKeptAsideBeforeANewOneIsWritten) {
    std::filesystem::create_directories(storeFile().parent_path());
    std::ofstream(storeFile()) << "{\"hiddenSsidIndexByBssid\": {\"02:00";
    EXPECT_EQ(json::parse(run("hidden-many.json").out)[0].at("SSID"), "Hidden SSID 0");
    EXPECT_EQ(readFile(storeFile().string() + ".corrupt"), "{\"hiddenSsidIndexByBssid\": {\"02:00");
    EXPECT_EQ(storedIndex().size(), 10u);
}

TEST_F(ToolTest, ConcurrentScansNumberEveryHiddenBssidOnce) {
    constexpr int kLaunches = 8;
    constexpr int kPerScene = 40;
    std::vector<std::thread> launches;
    std::vector<testing::ToolRun> results(kLaunches);
    for (int i = 0; i < kLaunches; ++i) {
        // Each scene overlaps the next by half, so launches race for shared BSSIDs too.
        const std::string scene = writeHiddenScene(home_ / ("scene" + std::to_string(i) + ".json"), i * kPerScene / 2, kPerScene);
        testing::ToolLaunch l = launch("", {});
        l.environment["NETMOTH_SCENE"] = scene;
        launches.emplace_back([l, &results, i] { results[i] = testing::runTool(NETMOTH_BINARY, l); });
    }
    for (auto& t : launches) t.join();

    const json index = storedIndex();
    const std::size_t distinct = (kLaunches + 1) * kPerScene / 2;
    EXPECT_EQ(index.size(), distinct);
    EXPECT_EQ(numbersIn(index).size(), distinct) << "a number was given twice";
    for (const auto& result : results) {
        for (const json& record : json::parse(result.out)) {
            EXPECT_EQ(record.at("SSID"), "Hidden SSID " + std::to_string(index.at(record.at("bssid").get<std::string>()).get<std::int64_t>()));
        }
    }
}

std::size_t abandonedSaves(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().starts_with("defaults.json.tmp-");
    }
    return count;
}

TEST_F(ToolTest, KillingScansMidSaveNeverLeavesABrokenStoreOrARepeatedNumber) {
    testing::ToolLaunch l = launch("", {});
    l.environment["NETMOTH_SCENE"] = writeHiddenScene(home_ / "grow.json", 0, 20);
    // Kill within one and a half launches, however slow this build starts.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(testing::runTool(NETMOTH_BINARY, l).exitCode, 0);
    const auto launchMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started).count();

    std::mt19937 random(20261206);
    std::map<std::string, std::int64_t> seen;
    for (int round = 1; round < 200; ++round) {
        writeHiddenScene(home_ / "grow.json", round * 20, 20);
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
    writeHiddenScene(home_ / "grow.json", 5000, 1);
    ASSERT_EQ(testing::runTool(NETMOTH_BINARY, l).exitCode, 0);
    EXPECT_EQ(abandonedSaves(storeFile().parent_path()), 0u);
}

}  // namespace
}  // namespace netmoth::e2e
