#include "store/FolderChain.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "util/UniqueFd.h"

namespace netmoth::store {
namespace {

bool isFolder(const std::filesystem::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool addOwnerBits(const std::filesystem::path& path, mode_t bits, mode_t type) {
    // O_PATH opens even what we may not read; the mode is then changed through
    // that descriptor, so a link swapped in meanwhile is never followed.
    util::UniqueFd fd(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || fstat(fd.get(), &info) != 0) return false;
    if ((info.st_mode & S_IFMT) != type || info.st_uid != geteuid() || (info.st_mode & bits) == bits) return false;
    const std::string viaDescriptor = "/proc/self/fd/" + std::to_string(fd.get());
    return chmod(viaDescriptor.c_str(), (info.st_mode & 07777) | bits) == 0;
}

bool createFolderChain(const std::filesystem::path& folder) {
    std::filesystem::path prefix;
    for (const auto& part : folder) {
        prefix /= part;
        if (mkdir(prefix.c_str(), 0700) == 0) {
            // The umask may have withheld owner bits; other bits stay clear.
            addOwnerBits(prefix, 0700, S_IFDIR);
            continue;
        }
        // mkdir may refuse an existing folder with EACCES rather than EEXIST,
        // so look at what is there instead of at the error.
        if (!isFolder(prefix)) return false;
    }
    // Our own folder, left unwritable by a launch under a strict umask.
    addOwnerBits(folder, 0700, S_IFDIR);
    return true;
}

}  // namespace netmoth::store
