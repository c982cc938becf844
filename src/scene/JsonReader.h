#pragma once
// Typed, strict reads from a scene document, each naming where its value sits
// ("interfaces[0].scan.networks[3].rssi"). Any mismatch throws SceneError
// with that path; the reader catches it, so it never escapes.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace netmoth::scene {

// A chain of stack frames: building one costs nothing; the text is made only
// for an error message.
class JsonPath {
public:
    JsonPath() = default;  // the document itself

    JsonPath member(std::string_view key) const { return JsonPath(this, key, 0); }
    JsonPath element(std::size_t index) const { return JsonPath(this, {}, index); }

    std::string text() const;

private:
    JsonPath(const JsonPath* parent, std::string_view key, std::size_t index)
        : parent_(parent), key_(key), index_(index) {}

    void append(std::string& out) const;

    const JsonPath* parent_ = nullptr;
    std::string_view key_;  // empty: an array element
    std::size_t index_ = 0;
};

struct SceneError {
    std::string message;  // "<path>: <problem>"
};

[[noreturn]] void fail(const JsonPath& path, std::string_view problem);

struct IntegerRange {
    std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
};

std::int64_t readInteger(const nlohmann::json& value, const JsonPath& path, IntegerRange range = {});
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
