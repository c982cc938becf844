#pragma once
// Runs the built binary as a caller would: arguments, the whole environment,
// and its standard output and error captured in full.

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

}  // namespace netmoth::testing
