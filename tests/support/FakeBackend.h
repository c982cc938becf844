#pragma once
// A backend of plain fields, for tests of what the program makes of values.

#include <optional>
#include <string>
#include <vector>

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

}  // namespace netmoth::testing
