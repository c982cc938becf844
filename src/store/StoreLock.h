#pragma once
// An exclusive advisory lock on a file beside the store, held for the object's
// lifetime so concurrent launches take turns at their read-modify-write.

#include <chrono>
#include <filesystem>
#include <string>

#include "util/UniqueFd.h"

namespace netmoth::store {

// A launch holds the lock for milliseconds (a second or two for a store at
// its 64 MiB cap), so a longer wait means a stuck holder (a stopped process);
// the launch then answers without saving rather than hang with it.
inline constexpr std::chrono::milliseconds kLockPatience{5000};

class StoreLock {
public:
    // Waits at most `patience` for the lock. The lock file must be a regular
    // file; it is opened without blocking and without following a link. When
    // it cannot be opened or locked the object holds nothing and problem()
    // says why.
    explicit StoreLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience = kLockPatience);
    bool held() const { return fd_.valid(); }
    const std::string& problem() const { return problem_; }

private:
    util::UniqueFd open(const std::filesystem::path& lockFile);

    util::UniqueFd fd_;
    std::string problem_;
};

}  // namespace netmoth::store
