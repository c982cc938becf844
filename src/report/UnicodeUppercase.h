#pragma once

#include <string>
#include <string_view>

namespace netmoth::report {

// Locale-independent Unicode upper-casing of UTF-8 text; bytes that are not
// valid UTF-8 are kept as they are.
std::string uppercased(std::string_view text);

}  // namespace netmoth::report
