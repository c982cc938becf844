#pragma once
// The per-user store that outlives a launch: one JSON object of named values.

#include <memory>
#include <string_view>

#include <nlohmann/json.hpp>

namespace netmoth::store {

// Exclusive access to the store for as long as it lives: no other process reads
// or writes between this lease's read and its write.
class DefaultsLease {
public:
    virtual ~DefaultsLease() = default;
    // The stored value, or nullptr when the key is absent or the store unreadable.
    virtual const nlohmann::json* objectForKey(std::string_view key) const = 0;
    // Replaces the value and writes the whole store at once. A failed write
    // leaves the earlier store in place and is not reported.
    virtual void setObject(std::string_view key, nlohmann::json value) = 0;
};

class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // Waits for other holders to finish. Never fails: a store that cannot be
    // opened gives a lease that reads nothing and writes nowhere.
    virtual std::unique_ptr<DefaultsLease> acquire() = 0;
};

}  // namespace netmoth::store
