// A copy of the tool given a file capability runs with raised privileges for
// an ordinary user: it must ignore NETMOTH_SCENE, NETMOTH_RECORD and the
// environment's config folder. The same launch of an uncapped copy shows that
// each variable is honoured otherwise, so the test can see the difference.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

namespace fs = std::filesystem;

class PrivilegedCopy : public e2e::ToolTest {
protected:
    void SetUp() override {
        const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (nobody == nullptr) GTEST_SKIP() << "giving a file capability and becoming nobody need root";
        uid_ = nobody->pw_uid;
        gid_ = nobody->pw_gid;
        const char* setcap = access("/usr/sbin/setcap", X_OK) == 0 ? "/usr/sbin/setcap" : "/sbin/setcap";
        // Outside the private folder: handing that folder to nobody would chown
        // the copies, and a chown drops file capabilities.
        std::string pattern = (fs::temp_directory_path() / "netmoth-bin-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        bin_ = pattern;
        fs::permissions(bin_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        fs::copy_file(NETMOTH_BINARY, bin_ / "plain");
        fs::copy_file(NETMOTH_BINARY, bin_ / "capped");
        fs::copy_file("/bin/cat", bin_ / "probe");
        for (const char* copy : {"capped", "probe"}) {
            const testing::ToolRun given = testing::runTool(setcap, {{"cap_net_raw+ep", (bin_ / copy).string()}, {}});
            if (given.exitCode != 0) GTEST_SKIP() << "setcap is missing or the filesystem refuses it: " << given.err;
        }
        lchown(home_.c_str(), uid_, gid_);
        // A capped copy of cat reads its own status: the capability must show.
        const std::string status = runAsNobody("probe", {"/proc/self/status"}, {}).out;
        const bool capped = status.find("CapEff:") != std::string::npos &&
                            status.find("CapEff:\t0000000000000000") == std::string::npos;
        if (!capped) GTEST_SKIP() << "cannot become nobody, or file capabilities are not honoured here (nosuid?)";
    }

    void TearDown() override {
        if (!bin_.empty()) fs::remove_all(bin_);
    }

    // Runs a copy in bin_ as nobody, with only the variables the test names.
    testing::ToolRun runAsNobody(const std::string& copy, const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& variables) const {
        testing::ToolLaunch l = launch("");
        l.environment.erase("NETMOTH_SCENE");
        for (const auto& [name, value] : variables) l.environment[name] = value;
        l.arguments = {"--reuid=" + std::to_string(uid_), "--regid=" + std::to_string(gid_), "--clear-groups", "--",
                       (bin_ / copy).string()};
        l.arguments.insert(l.arguments.end(), arguments.begin(), arguments.end());
        return testing::runTool("/usr/bin/setpriv", l);
    }

    uid_t uid_ = 0;
    gid_t gid_ = 0;
    fs::path bin_;
};

// A FIFO at the record path is never replaced; a plain copy records only
// the radio, and says it cannot record into a FIFO.
TEST_F(PrivilegedCopy, IgnoresTheSceneTheRecordPathAndTheEnvironmentsConfigFolder) {
    const fs::path record = home_ / "record.fifo";
    ASSERT_EQ(mkfifo(record.c_str(), 0600), 0);
    const std::map<std::string, std::string> variables{{"NETMOTH_SCENE", e2e::scenePath("hidden-many.json")},
                                                       {"NETMOTH_RECORD", record.string()}};
    const testing::ToolRun privileged = runAsNobody("capped", {}, variables);
    EXPECT_EQ(privileged.exitCode, 0) << privileged.err;
    EXPECT_EQ(privileged.out.find("02:00:00:00:00:01"), std::string::npos) << "the scene was read:\n" << privileged.out;
    EXPECT_EQ(privileged.err.find(record.string()), std::string::npos) << "a privileged run used the record path";
    EXPECT_FALSE(fs::exists(configHome())) << "the environment chose the store";
    EXPECT_NE(runAsNobody("plain", {}, variables).out.find("02:00:00:00:00:01"), std::string::npos);
    const std::string plainErr = runAsNobody("plain", {}, {{"NETMOTH_RECORD", record.string()}}).err;
    EXPECT_NE(plainErr.find(record.string()), std::string::npos) << plainErr;
    EXPECT_TRUE(fs::exists(storeFile()));
    EXPECT_EQ(fs::status(record).type(), fs::file_type::fifo);
}

}  // namespace
}  // namespace netmoth::faults
