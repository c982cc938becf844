#include "store/StoreLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "store/FolderChain.h"

namespace netmoth::store {

util::UniqueFd StoreLock::open(const std::filesystem::path& lockFile) {
    // Read-only is enough for flock, and an existing lock file can then still
    // be locked inside a folder we may not write. O_NOFOLLOW: never create a
    // file wherever a planted link points. O_NONBLOCK: a FIFO must not stall us.
    const int flags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    util::UniqueFd fd(::open(lockFile.c_str(), flags, 0600));
    // A lock an earlier launch created under a strict umask (--w-------).
    if (!fd.valid() && errno == EACCES && addOwnerBits(lockFile, 0600, S_IFREG)) {
        fd = util::UniqueFd(::open(lockFile.c_str(), flags, 0600));
    }
    if (!fd.valid()) {
        problem_ = std::strerror(errno);
        return {};
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        problem_ = "not a regular file";
        return {};
    }
    // Just created under a strict umask, or left so by an earlier launch.
    if (info.st_uid == geteuid() && (info.st_mode & 0600) != 0600) fchmod(fd.get(), (info.st_mode & 07777) | 0600);
    return fd;
}

StoreLock::StoreLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience) {
    util::UniqueFd fd = open(lockFile);
    if (!fd.valid()) return;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::chrono::milliseconds pause{1};
    for (;;) {
        if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
            fd_ = std::move(fd);
            return;
        }
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            problem_ = std::strerror(errno);
            return;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::milliseconds::zero()) {
            problem_ = "another process has held it for " + std::to_string(patience.count() / 1000) + " s";
            return;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, left));
        pause = std::min(pause * 2, std::chrono::milliseconds{50});
    }
}

}  // namespace netmoth::store
