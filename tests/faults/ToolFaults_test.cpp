// The built binary under hostile conditions: unusable scenes, odd arguments,
// readers that stall or leave, too little memory. It
// never ends by a signal, and says why in one line when it must.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

using e2e::json;
using e2e::fs::path;
using ToolFault = e2e::ToolTest;

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
    for (const std::optional<std::string>& bytes : {std::optional<std::string>(), std::optional<std::string>(""),
                                                   std::optional<std::string>("{} {}"),
                                                   std::optional<std::string>(nested("interfaces", 100000))}) {
        if (bytes) e2e::writeBytes(home_ / "scene.json", *bytes);
        const testing::ToolRun result = run((home_ / "scene.json").string());
        EXPECT_EQ(std::tuple(result.exitCode, result.out, lines(result.err)), std::tuple(2, "", 1u)) << result.err;
    }
    EXPECT_FALSE(e2e::fs::exists(configHome())) << "the store was reached";
    e2e::writeBytes(home_ / "ignored.json", nested("note", 100000));
    EXPECT_EQ(run((home_ / "ignored.json").string()).out, "[]\n");
    const std::string replacement = "\xEF\xBF\xBD";
    const json report =
        json::parse(run(writeScene("names.json", e2e::sceneWith({"Lab", replacement}, 0, 0)), {"--ssid=\xFF"}).out);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].at("SSID"), replacement);
}

// Runs the tool on a scene of `hidden` hidden networks (a report far past a
// pipe's buffer) writing into a pipe whose reading end goes to `reader`.
void runInto(const ToolFault& test, int hidden, int pipeFlags, const std::function<void(int)>& reader) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC | pipeFlags), 0);
    testing::ToolLaunch l = test.launch(test.writeScene("big.json", e2e::sceneWith({}, 0, hidden)));
    l.stdoutFd = fds[1];
    const int pid = testing::startTool(NETMOTH_BINARY, l);
    close(fds[1]);
    reader(fds[0]);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// EAGAIN from a non-blocking pipe is a full pipe, not the end of the answer.
TEST_F(ToolFault, SlowReaderOfANonBlockingPipeGetsTheWholeReport) {
    const testing::ToolRun reference = run(writeScene("big.json", e2e::sceneWith({}, 0, 5000)));
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
    const std::string scene = writeScene("big.json", e2e::sceneWith({}, 1 << 20, 100000));
    std::string store = R"({"hiddenSsidIndexByBssid":{)";
    for (int i = 0; i < 1600000; ++i)
        store += (i ? ",\"" : "\"") + e2e::hiddenBssid(i) + "-" + std::to_string(i) + "\":0";
    store += "}}";  // 40 MB
    e2e::fs::create_directories(storeFile().parent_path());
    for (const int megabytes : {20, 60, 100, 200, 300, 400}) {
        e2e::writeBytes(storeFile(), store);
        testing::ToolLaunch l = launch(scene);
        l.arguments = {"-c", "ulimit -v " + std::to_string(megabytes * 1000) + " && exec \"$0\"", NETMOTH_BINARY};
        const testing::ToolRun result = testing::runTool("/bin/sh", l);
        ASSERT_NE(result.exitCode, -1) << megabytes << " MB: ended by a signal";
        if (result.exitCode == 2) {
            EXPECT_EQ(result.out, "") << megabytes << " MB";
            EXPECT_EQ(lines(result.err), 1u) << result.err;
        } else {
            EXPECT_EQ(result.exitCode, 0) << megabytes << " MB";
            EXPECT_TRUE(json::accept(result.out)) << megabytes << " MB: " << result.out.size() << " bytes";
        }
        EXPECT_FALSE(e2e::fs::exists(storeFile().string() + ".corrupt")) << megabytes << " MB";
        const std::string after = e2e::readFile(storeFile());
        if (after != store) {
            EXPECT_GE(json::parse(after).at("hiddenSsidIndexByBssid").size(), 1600000u);
        }
    }
}
#endif

}  // namespace
}  // namespace netmoth::faults
