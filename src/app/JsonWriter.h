#pragma once
// Pretty-printed JSON in the layout callers have always parsed: two-space
// indent, " : " between key and value, every member and element on a line of
// its own, "/" escaped as "\/", no line feed after the closing bracket.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace netmoth::app {

// nullopt when the value cannot be written: a string that is not valid UTF-8,
// a number that is not an integer, a binary value.
std::optional<std::string> writePrettyJson(const nlohmann::json& value);

}  // namespace netmoth::app
