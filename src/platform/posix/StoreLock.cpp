#include "platform/posix/StoreLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace netmoth::platform::posix {

StoreLock::StoreLock(const std::filesystem::path& lockFile) {
    // Read-only is enough for flock, and an existing lock file can then still
    // be locked inside a folder we may not write. O_NOFOLLOW: never create a
    // file wherever a planted link points.
    UniqueFd fd(open(lockFile.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid()) return;
    int result = 0;
    while ((result = flock(fd.get(), LOCK_EX)) == -1 && errno == EINTR) {
    }
    if (result == 0) fd_ = std::move(fd);
}

}  // namespace netmoth::platform::posix
