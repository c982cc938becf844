// A copy of the tool given a file capability runs with raised privileges for
// an ordinary user: it must ignore NETMOTH_SCENE, NETMOTH_RECORD and the
// environment's config folder. The same launch of an uncapped copy shows that
// each variable is honoured otherwise, so the test can see the difference.

#include "FaultFixture.h"

namespace netmoth::faults {
namespace {

const char* setcapProgram() {
    for (const char* path : {"/usr/sbin/setcap", "/sbin/setcap"}) {
        if (access(path, X_OK) == 0) return path;
    }
    return nullptr;
}

class PrivilegedCopy : public FaultTest {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "giving a file capability needs root";
        if (!canSwitchToNobody()) GTEST_SKIP() << "cannot run the copy as user nobody";
        const char* setcap = setcapProgram();
        if (setcap == nullptr) GTEST_SKIP() << "setcap is missing (package libcap2-bin)";
        // Outside the private folder: handing that folder to nobody would chown
        // the copies, and a chown drops file capabilities.
        std::string pattern = (fs::temp_directory_path() / "netmoth-bin-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        bin_ = pattern;
        fs::permissions(bin_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        plain_ = bin_ / "plain";
        capped_ = bin_ / "capped";
        fs::copy_file(NETMOTH_BINARY, plain_);
        fs::copy_file(NETMOTH_BINARY, capped_);
        const testing::ToolRun given = testing::runTool(setcap, {{"cap_net_raw+ep", capped_.string()}, {}});
        if (given.exitCode != 0) GTEST_SKIP() << "the filesystem refuses file capabilities: " << given.err;
        if (!capabilityTakesEffect(setcap)) GTEST_SKIP() << "file capabilities are not honoured here (nosuid?)";
    }

    // A capped copy of cat reads its own status: the capability must show.
    bool capabilityTakesEffect(const char* setcap) {
        const fs::path probe = bin_ / "probe";
        fs::copy_file("/bin/cat", probe);
        if (testing::runTool(setcap, {{"cap_net_raw+ep", probe.string()}, {}}).exitCode != 0) return false;
        const testing::ToolRun status = runTool(launchWith({"/proc/self/status"}, {}), probe.string());
        return status.out.find("CapEff:\t0000000000000000") == std::string::npos &&
               status.out.find("CapEff:") != std::string::npos;
    }

    testing::ToolLaunch launchWith(std::vector<std::string> arguments,
                                   std::map<std::string, std::string> variables) const {
        testing::ToolLaunch l = launch("", std::move(arguments));
        l.environment.erase("NETMOTH_SCENE");  // each test says which variables it sets
        for (auto& [name, value] : variables) l.environment[name] = value;
        return l;
    }

    void TearDown() override {
        FaultTest::TearDown();
        if (!bin_.empty()) fs::remove_all(bin_);
    }

    fs::path bin_;
    fs::path plain_;
    fs::path capped_;
};

TEST_F(PrivilegedCopy, IgnoresTheSceneAndTheEnvironmentsConfigFolder) {
    const testing::ToolLaunch onScene = launchWith({}, {{"NETMOTH_SCENE", e2e::scenePath("hidden-many.json")}});

    const testing::ToolRun privileged = runTool(onScene, capped_.string());
    EXPECT_EQ(privileged.exitCode, 0) << privileged.err;
    EXPECT_EQ(privileged.out.find("02:00:00:00:00:01"), std::string::npos) << "the scene was read:\n" << privileged.out;
    EXPECT_FALSE(fs::exists(configHome())) << "the environment chose the store";

    const testing::ToolRun ordinary = runTool(onScene, plain_.string());
    EXPECT_NE(ordinary.out.find("02:00:00:00:00:01"), std::string::npos) << ordinary.out;
    EXPECT_TRUE(fs::exists(storeFile()));
}

TEST_F(PrivilegedCopy, IgnoresTheRecordPath) {
    const fs::path record = home_ / "record.json";
    const testing::ToolLaunch recording = launchWith({}, {{"NETMOTH_RECORD", record.string()}});

    EXPECT_EQ(runTool(recording, capped_.string()).exitCode, 0);
    EXPECT_FALSE(fs::exists(record)) << "a privileged run wrote where the environment said";

    EXPECT_EQ(runTool(recording, plain_.string()).exitCode, 0);
    EXPECT_TRUE(fs::exists(record));
}

}  // namespace
}  // namespace netmoth::faults
