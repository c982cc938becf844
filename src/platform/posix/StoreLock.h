#pragma once
// An exclusive advisory lock on a file beside the store, held for the object's
// lifetime so concurrent launches take turns at their read-modify-write.

#include <filesystem>

#include "platform/posix/UniqueFd.h"

namespace netmoth::platform::posix {

class StoreLock {
public:
    // Blocks until the lock is ours. When the lock file cannot be opened or
    // locked (read-only folder, no lock support) the object holds nothing and
    // the caller carries on unserialised rather than failing.
    explicit StoreLock(const std::filesystem::path& lockFile);
    bool held() const { return fd_.valid(); }

private:
    UniqueFd fd_;
};

}  // namespace netmoth::platform::posix
