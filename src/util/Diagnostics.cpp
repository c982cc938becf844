#include "util/Diagnostics.h"

#include <algorithm>

namespace netmoth::util {

void Diagnostics::note(std::string line) {
    if (std::find(lines_.begin(), lines_.end(), line) == lines_.end()) lines_.push_back(std::move(line));
}

}  // namespace netmoth::util
