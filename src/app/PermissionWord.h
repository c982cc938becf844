#pragma once

#include <cstdint>
#include <string_view>

namespace netmoth::app {

// "authorized" only for status 3 (always); when-in-use (4) and every unknown
// status read as "notDetermined".
std::string_view permissionWord(std::int32_t authorizationStatus);

}  // namespace netmoth::app
