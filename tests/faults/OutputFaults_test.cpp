// Readers that stall, leave in the middle, or write to a full device: the tool
// never ends by a signal, a patient reader gets every byte, and the hidden
// numbers are saved whatever happens to the output.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "FaultFixture.h"

namespace netmoth::faults {
namespace {

// Enough networks for a report of several hundred KiB, far past a pipe's buffer.
constexpr int kNamed = 1500;
constexpr int kHidden = 1500;

std::vector<std::string> manyNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kNamed; ++i) names.push_back("Network / " + std::to_string(i));
    return names;
}

// The wait status, or nullopt if the tool was still running after 20 s (it is then killed).
std::optional<int> waitBounded(int pid) {
    for (int tick = 0; tick < 2000; ++tick) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return std::nullopt;
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(count));
    return text;
}

class OutputFault : public FaultTest {
protected:
    void SetUp() override { scene_ = writeScene("big.json", sceneWith(manyNames(), 0, kHidden).dump()); }

    // Starts the tool on the big scene writing to `fd`; our copy of fd is closed.
    int startWritingTo(int fd) {
        testing::ToolLaunch l = launchOn(scene_, {});
        l.stdoutFd = fd;
        const int pid = startTool(l);
        close(fd);
        return pid;
    }

    void expectEndedNormally(const std::optional<int>& status) {
        ASSERT_TRUE(status.has_value()) << "still running after 20 s";
        ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
        EXPECT_EQ(WEXITSTATUS(*status), 0);
    }

    void expectAllNumbersSaved() { EXPECT_EQ(storedIndex().size(), static_cast<std::size_t>(kHidden)); }

    std::string scene_;
};

TEST_F(OutputFault, StalledReaderStillGetsTheWholeReport) {
    const testing::ToolRun reference = runTool(launchOn(scene_, {}));
    ASSERT_GT(reference.out.size(), 256u * 1024) << "the report must overflow the pipe";
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    const int pid = startWritingTo(fds[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pipe fills; the tool must wait
    const std::string out = readAll(fds[0]);
    close(fds[0]);
    expectEndedNormally(waitBounded(pid));
    EXPECT_EQ(out.size(), reference.out.size());
    EXPECT_TRUE(out == reference.out) << "the report differs from an unhurried launch";
}

TEST_F(OutputFault, ReaderLeavingMidReportEndsTheToolNormally) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    const int pid = startWritingTo(fds[1]);
    char start[4096];
    EXPECT_GT(read(fds[0], start, sizeof start), 0);
    close(fds[0]);  // the rest of the report now meets EPIPE
    expectEndedNormally(waitBounded(pid));
    expectAllNumbersSaved();
}

TEST_F(OutputFault, FullDeviceOnStandardOutputEndsTheToolNormally) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0) GTEST_SKIP() << "no /dev/full";
    expectEndedNormally(waitBounded(startWritingTo(full)));
    expectAllNumbersSaved();
}

}  // namespace
}  // namespace netmoth::faults
