#include "support/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

namespace netmoth::testing {
namespace {

struct Argv {
    std::vector<std::string> storage;
    std::vector<char*> pointers;

    Argv(const std::string& first, const std::vector<std::string>& rest) : storage{first} {
        storage.insert(storage.end(), rest.begin(), rest.end());
        for (auto& s : storage) pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
};

std::vector<std::string> environmentLines(const std::map<std::string, std::string>& environment) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : environment) lines.push_back(key + "=" + value);
    return lines;
}

// fork + exec rather than posix_spawn: the child must be able to close fd 1.
int spawn(const std::string& binary, const ToolLaunch& launch, int outFd, int errFd) {
    Argv argv(binary, launch.arguments);
    std::vector<std::string> envLines = environmentLines(launch.environment);
    std::vector<char*> envp;
    for (auto& line : envLines) envp.push_back(line.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, 0);
    dup2(outFd >= 0 ? outFd : devNull, 1);
    dup2(errFd >= 0 ? errFd : devNull, 2);
    if (launch.closeStdout) close(1);
    execve(binary.c_str(), argv.pointers.data(), envp.data());
    _exit(127);
}

void drain(int fd, std::string& into, bool& open) {
    char buffer[65536];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
        open = false;
    }
}

}  // namespace

ToolRun runTool(const std::string& binary, const ToolLaunch& launch) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) return {};
    const int pid = spawn(binary, launch, outPipe[1], errPipe[1]);
    close(outPipe[1]);
    close(errPipe[1]);
    ToolRun run;
    bool outOpen = true;
    bool errOpen = true;
    const auto deadline = std::chrono::steady_clock::now() + launch.timeout;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        std::array<pollfd, 2> fds{{{outOpen ? outPipe[0] : -1, POLLIN, 0}, {errOpen ? errPipe[0] : -1, POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) continue;
        if (fds[0].revents != 0) drain(outPipe[0], run.out, outOpen);
        if (fds[1].revents != 0) drain(errPipe[0], run.err, errOpen);
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

int startTool(const std::string& binary, const ToolLaunch& launch) {
    return spawn(binary, launch, launch.stdoutFd, -1);
}

}  // namespace netmoth::testing
