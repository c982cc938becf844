#pragma once
// Why an answer is empty, a fallback or degraded because of the machine: one
// line per cause for the person at the terminal, written on standard error
// after the answer. Standard output never carries them, so callers that parse
// the answer see exactly what they always saw.

#include <string>
#include <string_view>
#include <vector>

namespace netmoth::util {

class Diagnostics {
public:
    // One line naming the cause and the way out, without the program's name
    // or a line feed. A line noted twice is kept once.
    void note(std::string line);
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Text (a path, a name) to put into such a line: control characters, a line
// break in a folder name say, are shown escaped so they cannot split it.
std::string printable(std::string_view text);

}  // namespace netmoth::util
