#pragma once
// Child processes: the built binary run as a caller would (arguments, the whole
// environment, its standard output and error captured in full), and their end.

#include <sys/wait.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace netmoth::testing {

struct ToolRun {
    std::string out, err;
    int exitCode = -1;  // -1 when it ended by a signal or was killed
    bool timedOut = false;
};

struct ToolLaunch {
    std::vector<std::string> arguments;              // after argv[0]
    std::map<std::string, std::string> environment;  // the whole environment
    std::chrono::milliseconds timeout{20000};
    int stdoutFd = -1;  // startTool only: the child's descriptor 1, else /dev/null
};

ToolRun runTool(const std::string& binary, const ToolLaunch& launch);
int startTool(const std::string& binary, const ToolLaunch& launch);  // returns the pid at once

// Waits for a child to end: its exit status, or -1 when a signal ended it.
inline int exitStatus(int pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace netmoth::testing
