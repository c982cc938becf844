#pragma once
// Writing an answer to a descriptor the caller gave us, whatever its mode.

#include <string_view>

namespace netmoth::util {

// Writes every byte, or stops at the first real error. A descriptor in
// non-blocking mode (a parent's pipe) is waited on when full, never taken as
// closed. false when some bytes could not be written.
bool writeAll(int fd, std::string_view bytes);

}  // namespace netmoth::util
