#pragma once
// An in-memory store for tests of other areas: one shared JSON object, with a
// count of the writes made through its leases.

#include <memory>

#include "store/UserDefaults.h"

namespace netmoth::store {

class MemoryUserDefaults final : public UserDefaults {
public:
    MemoryUserDefaults() = default;
    explicit MemoryUserDefaults(nlohmann::json initial) : store_(std::move(initial)) {}

    // Leases read and write the same object; acquire never waits.
    std::unique_ptr<DefaultsLease> acquire() override;

    const nlohmann::json& store() const { return store_; }
    int writeCount() const { return writeCount_; }

private:
    nlohmann::json store_ = nlohmann::json::object();
    int writeCount_ = 0;
};

}  // namespace netmoth::store
