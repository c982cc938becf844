#pragma once
// Test doubles of plain fields: a backend, and an in-memory store whose
// leases share one JSON object and count the writes made through them.

#include <optional>
#include <string>
#include <vector>

#include "store/UserDefaults.h"
#include "wifi/Backend.h"

namespace netmoth::testing {

struct FakeBackend final : wifi::Backend {
    std::optional<wifi::Interface> defaultValue;
    std::optional<std::vector<wifi::Interface>> list;
    std::optional<std::vector<wifi::Network>> found = std::vector<wifi::Network>{};
    std::optional<wifi::Permission> permissionValue = wifi::Permission::Authorized;
    std::vector<std::optional<std::string>> scannedNames;

    std::optional<wifi::Interface> defaultInterface() override { return defaultValue; }
    std::optional<std::vector<wifi::Interface>> interfaces() override { return list; }
    std::optional<std::vector<wifi::Network>> scan(const std::optional<std::string>& name) override {
        scannedNames.push_back(name);
        return found;
    }
    std::optional<wifi::Permission> permission() override { return permissionValue; }
};

struct MemoryDefaults final : store::UserDefaults, store::DefaultsLease {
    nlohmann::json object = nlohmann::json::object();
    int writeCount = 0;

    std::unique_ptr<store::DefaultsLease> acquire() override {
        struct Lease final : store::DefaultsLease {
            MemoryDefaults& owner;
            explicit Lease(MemoryDefaults& defaults) : owner(defaults) {}
            const nlohmann::json* objectForKey(std::string_view key) const override { return owner.objectForKey(key); }
            void setObject(std::string_view key, nlohmann::json value) override { owner.setObject(key, value); }
        };
        return std::make_unique<Lease>(*this);
    }
    const nlohmann::json* objectForKey(std::string_view key) const override {
        const auto found = object.find(key);
        return found == object.end() ? nullptr : &*found;
    }
    void setObject(std::string_view key, nlohmann::json value) override {
        object[std::string(key)] = std::move(value);
        ++writeCount;
    }
};

}  // namespace netmoth::testing
