#include "support/MemoryUserDefaults.h"

#include <string>

namespace netmoth::store {
namespace {

class MemoryLease final : public DefaultsLease {
public:
    MemoryLease(nlohmann::json& store, int& writeCount) : store_(store), writeCount_(writeCount) {}

    const nlohmann::json* objectForKey(std::string_view key) const override {
        if (!store_.is_object()) return nullptr;
        auto found = store_.find(key);
        return found == store_.end() ? nullptr : &*found;
    }

    void setObject(std::string_view key, nlohmann::json value) override {
        if (!store_.is_object()) store_ = nlohmann::json::object();
        store_[std::string(key)] = std::move(value);
        ++writeCount_;
    }

private:
    nlohmann::json& store_;
    int& writeCount_;
};

}  // namespace

std::unique_ptr<DefaultsLease> MemoryUserDefaults::acquire() {
    return std::make_unique<MemoryLease>(store_, writeCount_);
}

}  // namespace netmoth::store
