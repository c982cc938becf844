#include "support/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "support/Files.h"

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
    run.exitCode = exitStatus(pid);
    run.out = readFile("/proc/self/fd/" + std::to_string(outFd));  // opened anew, so read from the start
    run.err = readFile("/proc/self/fd/" + std::to_string(errFd));
    close(outFd);
    close(errFd);
    return run;
}

int startTool(const std::string& binary, const ToolLaunch& launch) {
    return spawn(binary, launch, launch.stdoutFd, -1);
}

}  // namespace netmoth::testing
