#pragma once
// Pretty-printed JSON in the layout callers have always parsed: two-space
// indent, " : " between key and value, every member and element on a line of
// its own, "/" escaped as "\/", no line feed after the closing bracket.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace netmoth::util {

// nullopt when the value cannot be written: a string that is not valid UTF-8,
// a number that is not an integer, a binary value.
std::optional<std::string> writePrettyJson(const nlohmann::json& value);

// Writes a top-level array one element at a time, so a long list never has
// to exist as one JSON value: each element can be dropped once written.
class PrettyArrayWriter {
public:
    // Room for about this many bytes, so a long array is not copied as it grows.
    void reserve(std::size_t bytes);

    // An object element written member by member, with no JSON value built:
    // beginObject, the members in the order they are to appear (a nlohmann
    // object's is by key), endObject. A nested object member is begun with
    // beginObjectMember and also ends with endObject. A string that is not
    // valid UTF-8 makes the array unwritable: later elements are ignored.
    void beginObject();
    void beginObjectMember(std::string_view key);
    void stringMember(std::string_view key, std::string_view value);
    void integerMember(std::string_view key, std::int64_t value);
    void booleanMember(std::string_view key, bool value);
    void endObject();

    // The whole array, or nullopt when some element could not be written.
    std::optional<std::string> finish() &&;

private:
    void memberKey(std::string_view key);

    struct OpenObject {
        std::size_t depth;
        std::size_t members;
    };

    std::string text_ = "[";
    std::size_t count_ = 0;
    bool writable_ = true;
    std::vector<OpenObject> open_;
};

}  // namespace netmoth::util
