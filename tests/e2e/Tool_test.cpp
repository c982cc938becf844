// The built binary as callers launch it, on a scene with a private config
// folder: the cases of cases.json, the hidden numbers across launches, and
// hostile conditions.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <future>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <thread>

#include "support/Files.h"
#include "support/ToolProcess.h"

namespace netmoth::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A bundled scene by name; an absolute path is kept as it is.
std::string scenePath(const std::string& scene) {
    return (fs::path(NETMOTH_E2E_DIR) / "scenes" / scene).string();
}

// Hidden networks' BSSIDs are 02:00:00:xx:xx:xx; hidden-many.json uses serials 1 to 10.
std::string hiddenBssid(int serial) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", serial >> 16 & 255, serial >> 8 & 255, serial & 255);
    return text;
}

// A scene whose one scan lists a network for each name (BSSIDs 0a:...), then
// `hiddenCount` hidden networks numbered from serial `firstHidden`.
json sceneWith(const std::vector<std::string>& names, int firstHidden, int hiddenCount) {
    json networks = json::array();
    for (std::size_t i = 0; i < names.size(); ++i) {
        networks.push_back({{"ssid", names[i]}, {"bssid", "0a" + hiddenBssid(static_cast<int>(i)).substr(2)}});
    }
    for (int i = firstHidden; i < firstHidden + hiddenCount; ++i) networks.push_back({{"bssid", hiddenBssid(i)}});
    return {{"defaultInterface", 0}, {"interfaces", {{{"name", "wlan0"}, {"scan", {{"networks", networks}}}}}}};
}

struct ToolTest : ::testing::Test {
    fs::path configHome() const { return home_ / "config"; }
    fs::path storeFile() const { return configHome() / "netmoth-companion" / "defaults.json"; }

    testing::ToolLaunch launch(const std::string& scene, std::vector<std::string> arguments = {}) const {
        return {std::move(arguments),
                {{"NETMOTH_SCENE", scenePath(scene)},
                 {"XDG_CONFIG_HOME", configHome().string()},
                 {"HOME", home_.string()},
                 {"PATH", "/usr/bin:/bin"}}};
    }
    testing::ToolRun run(const std::string& scene, std::vector<std::string> arguments = {}) const {
        return testing::runTool(NETMOTH_BINARY, launch(scene, std::move(arguments)));
    }
    std::string writeScene(const std::string& name, const json& scene) const {
        testing::writeFile(home_ / name, scene.dump());
        return (home_ / name).string();
    }
    json storedIndex() const { return json::parse(testing::readFile(storeFile())).at("hiddenSsidIndexByBssid"); }

    testing::TempFolder home_;
};

// Each case of cases.json: the binary on a scene with some arguments, its
// answer compared byte for byte ("stdout") or by JSON value ("answer", a file
// under expected/, since member order is free), and its standard error
// ("stderr": the one line expected after the program's name; none: empty).
// "idles": the launch still waits, having printed nothing, after 1.5 seconds.
class ToolCase : public ToolTest, public ::testing::WithParamInterface<json> {};

TEST_P(ToolCase, PrintsExactlyTheExpectedAnswer) {
    const json& c = GetParam();
    testing::ToolLaunch l = launch(c.at("scene"), c.at("arguments").get<std::vector<std::string>>());
    if (c.contains("idles")) l.timeout = std::chrono::milliseconds(1500);
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_EQ(result.timedOut, c.contains("idles"));
    EXPECT_EQ(result.exitCode, c.contains("idles") ? -1 : 0);
    const std::string why = c.value("stderr", "");
    EXPECT_EQ(result.err, why.empty() ? "" : "netmoth-companion: " + why + "\n");
    if (c.contains("answer")) {
        const std::string answer = testing::readFile(fs::path(NETMOTH_E2E_DIR) / "expected" / c.value("answer", ""));
        EXPECT_EQ(json::parse(result.out), json::parse(answer)) << result.out;
    } else {
        EXPECT_EQ(result.out, c.value("stdout", ""));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolCase,
                         ::testing::ValuesIn(json::parse(testing::readFile(fs::path(NETMOTH_E2E_DIR) / "cases.json"))
                                                 .get<std::vector<json>>()),
                         [](const auto& each) { return each.param.at("name").template get<std::string>(); });

// The hidden-network numbers as launches see them: never given twice under
// concurrency, never lost to a crash.
std::set<std::int64_t> numbersIn(const json& index) {
    std::set<std::int64_t> numbers;
    for (const auto& [bssid, number] : index.items()) numbers.insert(number.get<std::int64_t>());
    return numbers;
}

TEST_F(ToolTest, ConcurrentScansNumberEveryHiddenBssidOnce) {
    constexpr int kLaunches = 8, kPerScene = 40;
    std::vector<std::future<testing::ToolRun>> launches;
    for (int i = 0; i < kLaunches; ++i) {
        // Each scene overlaps the next by half, so launches race for shared BSSIDs too.
        const std::string path = writeScene(std::to_string(i) + ".json", sceneWith({}, i * kPerScene / 2, kPerScene));
        launches.push_back(std::async(std::launch::async, [this, path] { return run(path); }));
    }
    for (auto& scan : launches) scan.wait();

    const json index = storedIndex();
    const std::size_t distinct = (kLaunches + 1) * kPerScene / 2;
    EXPECT_EQ(index.size(), distinct);
    EXPECT_EQ(numbersIn(index).size(), distinct) << "a number was given twice";
    for (auto& scan : launches) {  // each hidden network is labelled with its stored number
        for (const json& record : json::parse(scan.get().out)) {
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

// Hostile conditions: unusable scenes, odd arguments, readers that stall or
// leave, too little memory, raised privileges. The tool never ends by a
// signal, and says why in one line when it must.
using ToolFault = ToolTest;

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string nested(const std::string& key, std::size_t depth) {
    return "{\"" + key + "\": " + std::string(depth, '[') + std::string(depth, ']') + "}";
}

// A scene that cannot be used prints nothing, says why on one line, exits
// with status 2, and never reaches the store. Nesting where the scene ignores
// it is no error, and exhausts no stack; arguments that are not UTF-8 are read
// as U+FFFD.
TEST_F(ToolFault, UnusableSceneIsOneLineOnStandardErrorAndStatusTwo) {
    using Bytes = std::optional<std::string>;  // none: no scene file at all
    for (const Bytes& bytes : {Bytes(), Bytes(""), Bytes("{} {}"), Bytes(nested("interfaces", 100000))}) {
        if (bytes) testing::writeFile(home_ / "scene.json", *bytes);
        const testing::ToolRun result = run((home_ / "scene.json").string());
        EXPECT_EQ(std::tuple(result.exitCode, result.out, lines(result.err)), std::tuple(2, "", 1u)) << result.err;
    }
    EXPECT_FALSE(fs::exists(configHome())) << "the store was reached";
    testing::writeFile(home_ / "ignored.json", nested("note", 100000));
    EXPECT_EQ(run((home_ / "ignored.json").string()).out, "[]\n");
    const std::string names = writeScene("names.json", sceneWith({"Lab", "\uFFFD"}, 0, 0));
    const json report = json::parse(run(names, {"--ssid=\xFF"}).out);
    EXPECT_EQ(report.size(), 1u);
    EXPECT_EQ(report.at(0).at("SSID"), "\uFFFD");
}

// Runs the tool on a scene of `hidden` hidden networks (a report far past a
// pipe's buffer) writing into a pipe whose reading end goes to `reader`.
void runInto(const ToolFault& test, int hidden, int pipeFlags, const std::function<void(int)>& reader) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC | pipeFlags), 0);
    testing::ToolLaunch l = test.launch(test.writeScene("big.json", sceneWith({}, 0, hidden)));
    l.stdoutFd = fds[1];
    const int pid = testing::startTool(NETMOTH_BINARY, l);
    close(fds[1]);
    reader(fds[0]);
    close(fds[0]);
    EXPECT_EQ(testing::exitStatus(pid), 0);
}

// EAGAIN from a non-blocking pipe is a full pipe, not the end of the answer.
TEST_F(ToolFault, SlowReaderOfANonBlockingPipeGetsTheWholeReport) {
    const testing::ToolRun reference = run(writeScene("big.json", sceneWith({}, 0, 5000)));
    ASSERT_GT(reference.out.size(), 256u * 1024) << "the report must overflow the pipe";
    std::string out;
    runInto(*this, 5000, O_NONBLOCK, [&out](int fd) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pipe fills; the tool must wait
        char buffer[4096];
        for (ssize_t count = 1; count != 0;) {
            count = read(fd, buffer, sizeof buffer);
            if (count > 0) out.append(buffer, static_cast<std::size_t>(count));
            if (count < 0 && errno != EAGAIN) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    EXPECT_TRUE(out == reference.out) << out.size() << " of " << reference.out.size() << " bytes";
}

// The hidden numbers are saved whatever happens to the output.
TEST_F(ToolFault, ReaderLeavingMidReportEndsTheToolNormally) {
    runInto(*this, 3000, 0, [](int fd) {
        char start[4096];
        EXPECT_GT(read(fd, start, sizeof start), 0);  // then close: the rest of the report meets EPIPE
    });
    EXPECT_EQ(storedIndex().size(), 3000u) << "the numbers were not saved";
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory needs an unlimited address space
// Under any address-space limit a scan answers, or (loading the scene) says
// why in one line with status 2; never an abort. The store is never left
// half-written, nor moved aside for want of memory.
TEST_F(ToolFault, RunningOutOfMemoryNeverAbortsNorHarmsTheStore) {
    const std::string scene = writeScene("big.json", sceneWith({}, 1 << 20, 100000));
    std::string store = R"({"hiddenSsidIndexByBssid":{)";
    for (int i = 0; i < 1600000; ++i)
        store += (i ? ",\"" : "\"") + hiddenBssid(i) + "-" + std::to_string(i) + "\":0";
    store += "}}";  // 40 MB
    fs::create_directories(storeFile().parent_path());
    for (const int megabytes : {20, 60, 100, 200, 300, 400}) {
        testing::writeFile(storeFile(), store);
        testing::ToolLaunch l = launch(scene);
        l.arguments = {"-c", "ulimit -v " + std::to_string(megabytes * 1000) + " && exec \"$0\"", NETMOTH_BINARY};
        const testing::ToolRun result = testing::runTool("/bin/sh", l);
        EXPECT_TRUE(result.exitCode == 2 ? result.out.empty() && lines(result.err) == 1
                                         : result.exitCode == 0 && json::accept(result.out))
            << megabytes << " MB: status " << result.exitCode << ", " << result.out.size() << " bytes, " << result.err;
        EXPECT_FALSE(fs::exists(storeFile().string() + ".corrupt")) << megabytes << " MB";
        const std::string after = testing::readFile(storeFile());
        EXPECT_TRUE(after == store || json::parse(after).at("hiddenSsidIndexByBssid").size() >= 1600000u)
            << megabytes << " MB: entries were lost";
    }
}
#endif

// A copy of the tool given a file capability runs with raised privileges for
// an ordinary user: it must ignore NETMOTH_SCENE, NETMOTH_RECORD and the
// environment's config folder. The same launch of an uncapped copy shows that
// each variable is honoured otherwise, so the test can see the difference.
class PrivilegedCopy : public ToolTest {
protected:
    void SetUp() override {
        const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (nobody == nullptr) GTEST_SKIP() << "giving a file capability and becoming nobody need root";
        uid_ = nobody->pw_uid;
        gid_ = nobody->pw_gid;
        const char* setcap = access("/usr/sbin/setcap", X_OK) == 0 ? "/usr/sbin/setcap" : "/sbin/setcap";
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
    // Outside the private folder: handing that folder to nobody would chown
    // the copies, and a chown drops file capabilities.
    testing::TempFolder bin_;
};

// A FIFO at the record path is never replaced; a plain copy records only
// the radio, and says it cannot record into a FIFO.
TEST_F(PrivilegedCopy, IgnoresTheSceneTheRecordPathAndTheEnvironmentsConfigFolder) {
    const fs::path record = home_ / "record.fifo";
    ASSERT_EQ(mkfifo(record.c_str(), 0600), 0);
    const std::map<std::string, std::string> variables{{"NETMOTH_SCENE", scenePath("hidden-many.json")},
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
}  // namespace netmoth::e2e
