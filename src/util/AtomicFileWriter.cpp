#include "util/AtomicFileWriter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>

#include "util/UniqueFd.h"

namespace netmoth::util {
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

bool isTemporaryName(const std::filesystem::path& target, std::string_view name) {
    const std::string prefix = target.filename().string() + std::string(kTemporarySuffix);
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); });
}

int replaceFileAtomically(const std::filesystem::path& target, std::string_view contents) {
    std::string temporaryName = target.string() + std::string(kTemporarySuffix) + "XXXXXX";
    UniqueFd fd(mkostemp(temporaryName.data(), O_CLOEXEC));
    if (!fd.valid()) return errno;
    if (!fillTemporaryFile(std::move(fd), contents) || rename(temporaryName.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temporaryName.c_str());
        return error;
    }
    syncFolder(target.parent_path());
    return 0;
}

}  // namespace netmoth::util
