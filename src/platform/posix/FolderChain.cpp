#include "platform/posix/FolderChain.h"

#include <sys/stat.h>

namespace netmoth::platform::posix {
namespace {

bool isFolder(const std::filesystem::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool createFolderChain(const std::filesystem::path& folder) {
    std::filesystem::path prefix;
    for (const auto& part : folder) {
        prefix /= part;
        // mkdir may refuse an existing folder with EACCES rather than EEXIST,
        // so look at what is there instead of at the error.
        if (mkdir(prefix.c_str(), 0700) != 0 && !isFolder(prefix)) return false;
    }
    return true;
}

}  // namespace netmoth::platform::posix
