#pragma once
// Where a value sits in the scene document, e.g. "interfaces[0].scan.networks[3].rssi".
// A chain of stack frames: building one costs nothing; the text is made only
// for an error message.

#include <cstddef>
#include <string>
#include <string_view>

namespace netmoth::scene {

class JsonPath {
public:
    // The document itself.
    JsonPath() = default;

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

}  // namespace netmoth::scene
