#pragma once
// The store's text as a JSON object whose top-level members keep the bytes
// they were read as, so a save rewrites only what the program changed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "store/NumberStore.h"

namespace netmoth::store {

// Deeper files count as damaged: writing such a value back would recurse that
// deep. The top-level object is level 1; arrays and objects count alike.
inline constexpr int kMaxStoreNesting = 512;

struct StoreMember {
    std::string key;
    std::string text;  // `"key":value`, as read or as last set
};

struct StoreDocument {
    // Every member as a value. A number a 64-bit float cannot hold (out of
    // range, or an integer it would round) reads as null here, so no reader
    // takes a rounded number for the one in the file.
    nlohmann::json object = nlohmann::json::object();
    std::vector<StoreMember> members;  // in file order, one per key (the last one read wins)

    StoreDocument() = default;
    StoreDocument(StoreDocument&&) = default;
    StoreDocument& operator=(StoreDocument&&) = default;
    // Frees without allocating, so it can run while unwinding from std::bad_alloc.
    ~StoreDocument();

    // The member "hiddenSsidIndexByBssid": its entries holding an integer a
    // 64-bit signed number holds exactly (5.0 counts; 5.5, true, "5", 2^63 do not).
    HiddenNumbers hiddenNumbers() const;
    void setHiddenNumbers(const HiddenNumbers& numbers);

    void set(const std::string& key, nlohmann::json value);
    std::string serialise() const;
};

// nullopt when the text is not one JSON object (up to numbers out of range)
// or nests too deep. May throw std::bad_alloc.
std::optional<StoreDocument> parseStoreDocument(std::string_view text);

}  // namespace netmoth::store
