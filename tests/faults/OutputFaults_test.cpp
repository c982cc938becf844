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

using OutputFault = e2e::ToolTest;

// Runs the tool on a scene of `hidden` hidden networks (a report far past a
// pipe's buffer) writing into a pipe whose reading end goes to `reader`.
void runInto(const OutputFault& test, const std::string& scene, int pipeFlags, const std::function<void(int)>& reader) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC | pipeFlags), 0);
    testing::ToolLaunch l = test.launch(scene);
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
TEST_F(OutputFault, SlowReaderOfANonBlockingPipeGetsTheWholeReport) {
    const std::string scene = writeScene("huge.json", e2e::sceneWith({}, 0, 5000));
    const testing::ToolRun reference = run(scene);
    ASSERT_GT(reference.out.size(), 256u * 1024) << "the report must overflow the pipe";
    std::string out;
    runInto(*this, scene, O_NONBLOCK, [&out](int fd) {
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

TEST_F(OutputFault, ReaderLeavingMidReportEndsTheToolNormally) {
    runInto(*this, writeScene("big.json", e2e::sceneWith({}, 0, 3000)), 0, [](int fd) {
        char start[4096];
        EXPECT_GT(read(fd, start, sizeof start), 0);  // then close: the rest of the report meets EPIPE
    });
    EXPECT_EQ(storedIndex().size(), 3000u) << "the numbers were not saved";
}

}  // namespace
}  // namespace netmoth::faults
