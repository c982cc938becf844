#include "scene/SceneFile.h"

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

#include "store/UniqueFd.h"
#include "scene/SceneReader.h"

namespace netmoth::scene {
namespace {

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
    const store::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

SceneReading readSceneFile(const std::string& path) {
    try {
        FileContents contents = readFileCapped(path, kMaxSceneFileBytes);
        if (!contents.text) return {std::nullopt, printablePath(path) + ": " + contents.error};
        SceneReading reading = readScene(*contents.text);
        if (!reading.scene) reading.error = printablePath(path) + ": " + reading.error;
        return reading;
    } catch (const std::bad_alloc&) {
        return {std::nullopt, printablePath(path) + ": out of memory"};
    }
}

}  // namespace netmoth::scene
