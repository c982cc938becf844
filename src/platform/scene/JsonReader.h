#pragma once
// Typed, strict reads from the scene document. Any mismatch throws SceneError
// naming the path of the value; the loader catches it, so it never escapes.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/scene/JsonPath.h"

namespace netmoth::scene {

struct SceneError {
    std::string message;  // "<path>: <problem>"
};

[[noreturn]] void fail(const JsonPath& path, std::string_view problem);

struct IntegerRange {
    std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
};

std::int64_t readInteger(const nlohmann::json& value, const JsonPath& path, IntegerRange range = {});
const std::string& readString(const nlohmann::json& value, const JsonPath& path);
bool readBoolean(const nlohmann::json& value, const JsonPath& path);
const nlohmann::json::array_t& readArray(const nlohmann::json& value, const JsonPath& path);

// The members of one JSON object. A member that is null counts as absent.
class ObjectReader {
public:
    ObjectReader(const nlohmann::json& value, const JsonPath& path);

    // nullptr when the key is absent or null.
    const nlohmann::json* find(std::string_view key) const;
    JsonPath pathOf(std::string_view key) const { return path_.member(key); }

    std::optional<std::int64_t> integer(std::string_view key, IntegerRange range = {}) const;
    std::optional<std::string> string(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;

private:
    const nlohmann::json::object_t& object_;
    JsonPath path_;
};

}  // namespace netmoth::scene
