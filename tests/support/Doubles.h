#pragma once
// Test doubles of plain fields: a backend, and an in-memory number store that
// counts its saves.

#include <optional>
#include <string>
#include <vector>

#include "store/NumberStore.h"
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

struct MemoryNumberStore final : store::NumberStore {
    struct Lease final : store::NumbersLease {
        explicit Lease(MemoryNumberStore& of) : owner(of) {}
        const store::HiddenNumbers& numbers() const override { return owner.kept; }
        void save(store::HiddenNumbers numbers) override {
            owner.kept = std::move(numbers);
            ++owner.saves;
        }
        MemoryNumberStore& owner;
    };
    std::unique_ptr<store::NumbersLease> lease() override { return std::make_unique<Lease>(*this); }

    store::HiddenNumbers kept;
    int saves = 0;
};

}  // namespace netmoth::testing
