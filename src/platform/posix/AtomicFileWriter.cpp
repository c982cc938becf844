#include "platform/posix/AtomicFileWriter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/posix/UniqueFd.h"

namespace netmoth::platform::posix {
namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t count = write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool fillTemporaryFile(UniqueFd fd, std::string_view contents) {
    // Explicit mode so an unusual umask cannot widen or narrow it.
    return fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), contents) && fsync(fd.get()) == 0 && fd.close();
}

// Makes the rename itself durable; best effort, the new file is already in place.
void syncFolder(const std::filesystem::path& folder) {
    UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) fsync(fd.get());
}

}  // namespace

bool replaceFileAtomically(const std::filesystem::path& target, std::string_view contents) {
    std::string temporaryName = target.string() + std::string(kTemporarySuffix) + "XXXXXX";
    UniqueFd fd(mkostemp(temporaryName.data(), O_CLOEXEC));
    if (!fd.valid()) return false;
    if (!fillTemporaryFile(std::move(fd), contents) || rename(temporaryName.c_str(), target.c_str()) != 0) {
        unlink(temporaryName.c_str());
        return false;
    }
    syncFolder(target.parent_path());
    return true;
}

}  // namespace netmoth::platform::posix
