#pragma once
// Where the per-user store lives, following the XDG base directory rules.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace netmoth::store {

// Returns the variable's value, or nullopt when it is unset.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;
// Returns the user's home directory from the account database, or nullopt.
using AccountHomeLookup = std::function<std::optional<std::string>()>;

// $XDG_CONFIG_HOME/netmoth-companion/defaults.json when XDG_CONFIG_HOME is an
// absolute path; else <home>/.config/netmoth-companion/defaults.json, where home
// is $HOME when absolute, else the account's home when absolute. Relative values
// are ignored because they would move with the working directory. nullopt when
// no home can be found: the store then reads nothing and writes nowhere.
std::optional<std::filesystem::path> resolveStorePath(const EnvironmentLookup& environment,
                                                      const AccountHomeLookup& accountHome);

// The real lookups: secure_getenv, so a binary running with raised privileges
// ignores the caller's environment, and getpwuid_r for the real user id.
std::optional<std::filesystem::path> standardStorePath();

}  // namespace netmoth::store
