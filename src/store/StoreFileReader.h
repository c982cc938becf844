#pragma once
// Reads the store file once and says what was found there.

#include <cstddef>
#include <filesystem>
#include <string>

#include "store/StoreDocument.h"

namespace netmoth::store {

enum class StoreFileState {
    Missing,     // nothing at the path (a dangling link counts as nothing)
    Loaded,      // a JSON object
    Damaged,     // a regular file that is not a JSON object we can keep
    Unreadable,  // could not be read: permission, not a regular file, too large, out of memory
};

struct StoreFileContents {
    StoreFileState state = StoreFileState::Missing;
    StoreDocument document;  // empty unless Loaded
    std::string problem;     // why it is Unreadable, for a diagnostic
};

// Larger files are not read, so a giant file cannot exhaust memory.
inline constexpr std::size_t kMaxStoreBytes = std::size_t{64} << 20;

// Never throws std::bad_alloc: running out of memory reads as Unreadable, so
// the store is then neither rewritten nor moved aside.
StoreFileContents readStoreFile(const std::filesystem::path& file);

}  // namespace netmoth::store
