#include "scene/JsonReader.h"

namespace netmoth::scene {
namespace {

using nlohmann::json;

std::string article(std::string_view noun) {
    const bool vowel = !noun.empty() && std::string_view("aeiou").find(noun.front()) != std::string_view::npos;
    return std::string(vowel ? "an " : "a ").append(noun);
}

[[noreturn]] void failType(const json& value, const JsonPath& path, std::string_view expected) {
    // A non-integer number is shown, so "2.5" or "1e+30" (too big for an integer) explains itself.
    const std::string got = value.is_number_float() || value.is_null() ? value.dump() : article(value.type_name());
    fail(path, "expected " + article(expected) + ", got " + got);
}

[[noreturn]] void failRange(const std::string& shown, const JsonPath& path, IntegerRange range) {
    fail(path, shown + " is out of range " + std::to_string(range.min) + ".." + std::to_string(range.max));
}

const json::object_t& readObject(const json& value, const JsonPath& path) {
    if (!value.is_object()) failType(value, path, "object");
    return value.get_ref<const json::object_t&>();
}

}  // namespace

std::string JsonPath::text() const {
    if (parent_ == nullptr) return "top level";
    std::string out;
    append(out);
    return out;
}

void JsonPath::append(std::string& out) const {
    if (parent_ == nullptr) return;
    parent_->append(out);
    if (key_.empty()) {
        out += '[' + std::to_string(index_) + ']';
        return;
    }
    if (!out.empty()) out += '.';
    out += key_;
}

void fail(const JsonPath& path, std::string_view problem) {
    throw SceneError{path.text() + ": " + std::string(problem)};
}

std::int64_t readInteger(const json& value, const JsonPath& path, IntegerRange range) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (range.max < 0 || number > static_cast<std::uint64_t>(range.max)) {
            failRange(std::to_string(number), path, range);
        }
        return static_cast<std::int64_t>(number);
    }
    if (!value.is_number_integer()) failType(value, path, "integer");
    const auto number = value.get<std::int64_t>();
    if (number < range.min || number > range.max) failRange(std::to_string(number), path, range);
    return number;
}

const json::array_t& readArray(const json& value, const JsonPath& path) {
    if (!value.is_array()) failType(value, path, "array");
    return value.get_ref<const json::array_t&>();
}

ObjectReader::ObjectReader(const json& value, const JsonPath& path) : object_(readObject(value, path)), path_(path) {}

const json* ObjectReader::find(std::string_view key) const {
    const auto it = object_.find(key);
    if (it == object_.end() || it->second.is_null()) return nullptr;
    return &it->second;
}

std::optional<std::int64_t> ObjectReader::integer(std::string_view key, IntegerRange range) const {
    const json* value = find(key);
    if (value == nullptr) return std::nullopt;
    return readInteger(*value, pathOf(key), range);
}

std::optional<std::string> ObjectReader::string(std::string_view key) const {
    const json* value = find(key);
    if (value == nullptr) return std::nullopt;
    if (!value->is_string()) failType(*value, pathOf(key), "string");
    return value->get<std::string>();
}

std::optional<bool> ObjectReader::boolean(std::string_view key) const {
    const json* value = find(key);
    if (value == nullptr) return std::nullopt;
    if (!value->is_boolean()) failType(*value, pathOf(key), "boolean");
    return value->get<bool>();
}

}  // namespace netmoth::scene
