#include "util/Diagnostics.h"

#include <algorithm>
#include <cstdio>

namespace netmoth::util {

void Diagnostics::note(std::string line) {
    if (std::find(lines_.begin(), lines_.end(), line) == lines_.end()) lines_.push_back(std::move(line));
}

std::string printable(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
    }
    return shown;
}

}  // namespace netmoth::util
