#pragma once
// Runs the built binary as a caller would: arguments, a few environment
// variables, and its standard output and error captured in full.

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace netmoth::testing {

struct ToolRun {
    std::string out;
    std::string err;
    int exitCode = -1;  // -1 when it ended by a signal or was killed
    bool timedOut = false;
};

struct ToolLaunch {
    std::vector<std::string> arguments;              // after argv[0]
    std::map<std::string, std::string> environment;  // the whole environment
    std::chrono::milliseconds timeout{20000};
    int stdoutFd = -1;  // startTool only: the child's descriptor 1
};

ToolRun runTool(const std::string& binary, const ToolLaunch& launch);

// Starts the binary without waiting; returns its pid. Output goes to
// launch.stdoutFd, or to /dev/null.
int startTool(const std::string& binary, const ToolLaunch& launch);

}  // namespace netmoth::testing
