#include "platform/scene/SceneFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "platform/scene/Scene.h"

namespace netmoth::scene {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

FileContents failure(std::string_view what, int error) {
    return {std::nullopt, std::string(what) + ": " + std::strerror(error)};
}

FileContents tooLarge(std::size_t maxBytes) {
    return {std::nullopt, "larger than the " + std::to_string(maxBytes) + " bytes a scene may have"};
}

// The path heads a one-line message: control characters in it (a line break
// in a folder name) are shown escaped so they cannot split that line.
std::string printablePath(const std::string& path) {
    std::string shown;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
    }
    return shown;
}

}  // namespace

FileContents readFileCapped(const std::string& path, std::size_t maxBytes) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return failure("cannot open", errno);
    struct stat info {};
    std::string text;
    if (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return tooLarge(maxBytes);
        text.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            return failure("cannot read", errno);
        }
        if (text.size() + static_cast<std::size_t>(count) > maxBytes) return tooLarge(maxBytes);
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return {std::move(text), {}};
}

SceneLoadResult loadSceneFile(const std::string& path) {
    try {
        FileContents contents = readFileCapped(path, kMaxSceneFileBytes);
        if (!contents.text) return {nullptr, printablePath(path) + ": " + contents.error};
        SceneLoadResult result = parseScene(*contents.text);
        if (!result.scene) result.error = printablePath(path) + ": " + result.error;
        return result;
    } catch (const std::bad_alloc&) {
        return {nullptr, printablePath(path) + ": out of memory"};
    }
}

}  // namespace netmoth::scene
