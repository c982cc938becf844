// Readers that stall or leave in the middle: the tool never ends by a signal,
// a patient reader gets every byte, and the hidden numbers are saved whatever
// happens to the output.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

// Enough networks for a report of several hundred KiB, far past a pipe's buffer.
constexpr int kNamed = 1500;
constexpr int kHidden = 1500;

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(count));
    close(fd);
    return text;
}

class OutputFault : public e2e::ToolTest {
protected:
    void SetUp() override {
        std::vector<std::string> names;
        for (int i = 0; i < kNamed; ++i) names.push_back("Network / " + std::to_string(i));
        scene_ = writeScene("big.json", e2e::sceneWith(names, 0, kHidden));
    }

    // Runs the tool on a scene writing into a pipe whose reading end goes to `reader`.
    void runInto(const std::function<void(int)>& reader, int pipeFlags = 0, const std::string& scene = "") const {
        int fds[2];
        ASSERT_EQ(pipe2(fds, O_CLOEXEC | pipeFlags), 0);
        testing::ToolLaunch l = launch(scene.empty() ? scene_ : scene);
        l.stdoutFd = fds[1];
        const int pid = testing::startTool(NETMOTH_BINARY, l);
        close(fds[1]);
        reader(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    std::string scene_;
};

TEST_F(OutputFault, StalledReaderStillGetsTheWholeReport) {
    const testing::ToolRun reference = run(scene_);
    ASSERT_GT(reference.out.size(), 256u * 1024) << "the report must overflow the pipe";
    std::string out;
    runInto([&out](int fd) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pipe fills; the tool must wait
        out = readAll(fd);
    });
    EXPECT_EQ(out.size(), reference.out.size());
    EXPECT_TRUE(out == reference.out) << "the report differs from an unhurried launch";
}

// EAGAIN from a non-blocking pipe is a full pipe, not the end of the answer.
TEST_F(OutputFault, SlowReaderOfANonBlockingPipeGetsTheWholeReport) {
    const std::string scene = writeScene("huge.json", e2e::sceneWith({}, 0, 5000));
    const testing::ToolRun reference = run(scene);
    std::string out;
    runInto(
        [&out](int fd) {
            char buffer[4096];
            for (ssize_t count = 1; count != 0;) {
                count = read(fd, buffer, sizeof buffer);
                if (count > 0) out.append(buffer, static_cast<std::size_t>(count));
                if (count < 0 && errno != EAGAIN) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            close(fd);
        },
        O_NONBLOCK, scene);
    EXPECT_TRUE(out == reference.out) << out.size() << " of " << reference.out.size() << " bytes";
}

TEST_F(OutputFault, ReaderLeavingMidReportEndsTheToolNormally) {
    runInto([](int fd) {
        char start[4096];
        EXPECT_GT(read(fd, start, sizeof start), 0);
        close(fd);  // the rest of the report now meets EPIPE
    });
    EXPECT_EQ(storedIndex().size(), static_cast<std::size_t>(kHidden)) << "the numbers were not saved";
}

}  // namespace
}  // namespace netmoth::faults
