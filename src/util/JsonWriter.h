#pragma once
// Pretty-printed JSON in the layout callers have always parsed: two-space
// indent, " : " between key and value, every member and element on a line of
// its own, "/" escaped as "\/", no line feed after the closing bracket.

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace netmoth::util {

// nullopt when the value cannot be written: a string that is not valid UTF-8,
// a number that is not an integer, a binary value.
std::optional<std::string> writePrettyJson(const nlohmann::json& value);

// Writes a top-level array one element at a time, so a long list never has
// to exist as one JSON value: each element can be dropped once written.
class PrettyArrayWriter {
public:
    // False when the element cannot be written; the array is then unwritable
    // and later elements are ignored.
    bool append(const nlohmann::json& element);
    // The whole array, or nullopt when some element could not be written.
    std::optional<std::string> finish() &&;

private:
    std::string text_ = "[";
    std::size_t count_ = 0;
    bool writable_ = true;
};

}  // namespace netmoth::util
