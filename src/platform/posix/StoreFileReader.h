#pragma once
// Reads the store file once and says what was found there.

#include <cstddef>
#include <filesystem>

#include <nlohmann/json.hpp>

namespace netmoth::platform::posix {

enum class StoreFileState {
    Missing,     // nothing at the path (a dangling link counts as nothing)
    Loaded,      // a JSON object
    Damaged,     // a regular file that is not a JSON object we can keep
    Unreadable,  // could not be read: permission, not a regular file, too large
};

struct StoreFileContents {
    StoreFileState state = StoreFileState::Missing;
    nlohmann::json object = nlohmann::json::object();  // empty unless Loaded
};

// Larger files are not read, so a giant file cannot exhaust memory.
inline constexpr std::size_t kMaxStoreBytes = std::size_t{64} << 20;
// Deeper files count as damaged: writing such a value back would recurse that deep.
inline constexpr int kMaxStoreNesting = 512;

StoreFileContents readStoreFile(const std::filesystem::path& file);

}  // namespace netmoth::platform::posix
