// Whatever lies at the store path, a scan prints its whole report and nothing
// the store held is lost.

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

using e2e::json;

struct StoreFault : e2e::ToolTest {
    void plant(const std::string& bytes) const {
        std::filesystem::create_directories(storeFile().parent_path());
        e2e::writeBytes(storeFile(), bytes);
    }
    // Scans hidden-many.json (ten hidden networks, serials 1 to 10); checks the
    // report is whole and standard error empty, or one line naming `namedPath`.
    std::string scan(const testing::ToolLaunch& l, const std::string& namedPath = "") const {
        const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), namedPath.empty() ? 0 : 1) << result.err;
        EXPECT_NE(result.err.find(namedPath), std::string::npos) << result.err;
        EXPECT_EQ(json::parse(result.out).size(), 11u);
        return result.out;
    }
};

// Not JSON at all: whatever follows the NUL would be lost by a rewrite.
TEST_F(StoreFault, NulAfterTheObjectIsKeptAsideWhole) {
    const std::string damaged = std::string(R"({"hiddenSsidIndexByBssid": {}})") + '\0' + R"({"theme": "dark"})";
    plant(damaged);
    const std::string out = scan(launch("hidden-many.json"));
    EXPECT_EQ(e2e::readFile(storeFile().string() + ".corrupt"), damaged);
    EXPECT_EQ(e2e::numbersIn(storedIndex()), (std::set<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    e2e::expectNumbersFrom(storedIndex(), out);
}

TEST_F(StoreFault, FiftyThousandEntriesAreAllKept) {
    json before = json::object();
    for (int i = 0; i < 50000; ++i) before["0e" + e2e::hiddenBssid(i).substr(2)] = i;
    before[e2e::hiddenBssid(5)] = 50000;
    plant(json{{"hiddenSsidIndexByBssid", before}}.dump());
    const std::string out = scan(launch("hidden-many.json"));
    const json after = storedIndex();
    EXPECT_EQ(after.size(), 50010u);
    EXPECT_EQ(e2e::numbersIn(after).size(), after.size()) << "a number was given twice";
    for (const auto& [bssid, number] : before.items()) ASSERT_EQ(after.at(bssid), number) << bssid;
    e2e::expectNumbersFrom(after, out);
}

TEST_F(StoreFault, ConfigFolderThatCannotExistStillGivesTheReport) {
    e2e::writeBytes(home_ / "file", "");
    testing::ToolLaunch l = launch("hidden-many.json");
    l.environment["XDG_CONFIG_HOME"] = (home_ / "file" / "config").string();
    scan(l, (home_ / "file" / "config" / "netmoth-companion").string());
    EXPECT_EQ(e2e::readFile(home_ / "file"), "");
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory needs an unlimited address space
// Under any address-space limit a scan answers, or (loading the scene) says
// why in one line with status 2; never an abort. The store is never left
// half-written, nor moved aside for want of memory.
TEST_F(StoreFault, RunningOutOfMemoryNeverAbortsNorHarmsTheStore) {
    const std::string scene = writeScene("big.json", e2e::sceneWith({}, 1 << 20, 100000));
    std::string store = R"({"hiddenSsidIndexByBssid":{)";
    for (int i = 0; i < 1600000; ++i) store += (i ? ",\"" : "\"") + e2e::hiddenBssid(i) + "-" + std::to_string(i) + "\":0";
    store += "}}";  // 40 MB
    for (const int megabytes : {20, 60, 100, 200, 300, 400}) {
        plant(store);
        testing::ToolLaunch l = launch(scene);
        l.arguments = {"-c", "ulimit -v " + std::to_string(megabytes * 1000) + " && exec \"$0\"", NETMOTH_BINARY};
        const testing::ToolRun result = testing::runTool("/bin/sh", l);
        ASSERT_NE(result.exitCode, -1) << megabytes << " MB: ended by a signal";
        if (result.exitCode == 2) {
            EXPECT_EQ(result.out, "") << megabytes << " MB";
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        } else {
            EXPECT_EQ(result.exitCode, 0) << megabytes << " MB";
            EXPECT_TRUE(json::accept(result.out)) << megabytes << " MB: " << result.out.size() << " bytes";
        }
        EXPECT_FALSE(std::filesystem::exists(storeFile().string() + ".corrupt")) << megabytes << " MB";
        const std::string after = e2e::readFile(storeFile());
        if (after != store) {
            EXPECT_GE(json::parse(after).at("hiddenSsidIndexByBssid").size(), 1600000u);
        }
    }
}
#endif

}  // namespace
}  // namespace netmoth::faults
