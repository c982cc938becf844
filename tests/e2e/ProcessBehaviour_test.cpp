// How the process ends when its reader misbehaves: never by a signal, and
// never with a different status.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

TEST_F(ToolTest, ClosedStandardOutputStillEndsNormallyAndKeepsTheStore) {
    testing::ToolLaunch l = launch("hidden-many.json", {});
    l.closeStdout = true;
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(storedIndex().size(), 10u) << "the store must not have received the report";
}

TEST_F(ToolTest, ReaderThatLeavesEarlyDoesNotKillTheProcess) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    close(pipeFds[0]);  // nobody will ever read: every write fails with EPIPE
    testing::ToolLaunch l = launch("home.json", {});
    l.stdoutFd = pipeFds[1];
    const int pid = testing::startTool(NETMOTH_BINARY, l);
    close(pipeFds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace netmoth::e2e
