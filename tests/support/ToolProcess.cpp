#include "support/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace netmoth::testing {
namespace {

int spawn(const std::string& binary, const ToolLaunch& launch, int outFd, int errFd) {
    std::vector<std::string> argv{binary}, envp;
    argv.insert(argv.end(), launch.arguments.begin(), launch.arguments.end());
    for (const auto& [key, value] : launch.environment) envp.push_back(key + "=" + value);
    std::vector<char*> argvPointers, envpPointers;
    for (std::string& s : argv) argvPointers.push_back(s.data());
    for (std::string& s : envp) envpPointers.push_back(s.data());
    argvPointers.push_back(nullptr);
    envpPointers.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, 0);
    dup2(outFd >= 0 ? outFd : devNull, 1);
    dup2(errFd >= 0 ? errFd : devNull, 2);
    execve(binary.c_str(), argvPointers.data(), envpPointers.data());
    _exit(127);
}

// Takes what the child wrote to an in-memory file, and closes it.
std::string takeContents(int fd) {
    std::string text;
    char buffer[65536];
    ssize_t count = 0;
    lseek(fd, 0, SEEK_SET);
    while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(count));
    close(fd);
    return text;
}

}  // namespace

// Output goes to in-memory files, so the child never waits on us; a pidfd
// tells when it has ended.
ToolRun runTool(const std::string& binary, const ToolLaunch& launch) {
    const int outFd = memfd_create("stdout", MFD_CLOEXEC), errFd = memfd_create("stderr", MFD_CLOEXEC);
    const int pid = spawn(binary, launch, outFd, errFd);
    pollfd ended{static_cast<int>(syscall(SYS_pidfd_open, pid, 0)), POLLIN, 0};
    ToolRun run;
    run.timedOut = poll(&ended, 1, static_cast<int>(launch.timeout.count())) == 0;
    if (run.timedOut) kill(pid, SIGKILL);
    close(ended.fd);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = takeContents(outFd);
    run.err = takeContents(errFd);
    return run;
}

int startTool(const std::string& binary, const ToolLaunch& launch) {
    return spawn(binary, launch, launch.stdoutFd, -1);
}

}  // namespace netmoth::testing
