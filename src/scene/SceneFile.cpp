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

#include "util/UniqueFd.h"
#include "scene/SceneReader.h"
#include "util/Diagnostics.h"
#include "util/Memory.h"

namespace netmoth::scene {
namespace {

FileContents failure(std::string_view what, int error) {
    return {std::nullopt, std::string(what) + ": " + std::strerror(error)};
}

FileContents tooLarge(std::size_t maxBytes) {
    return {std::nullopt, "larger than the " + std::to_string(maxBytes) + " bytes a scene may have"};
}

}  // namespace

FileContents readFileCapped(const std::string& path, std::size_t maxBytes) {
    const util::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return failure("cannot open", errno);
    struct stat info {};
    std::string text;
    if (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return tooLarge(maxBytes);
        text.reserve(static_cast<std::size_t>(info.st_size));
        util::adviseHugePages(text.data(), text.capacity());
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
        if (!contents.text) return {std::nullopt, util::printable(path) + ": " + contents.error};
        SceneReading reading = readScene(*contents.text);
        if (!reading.scene) reading.error = util::printable(path) + ": " + reading.error;
        return reading;
    } catch (const std::bad_alloc&) {
        return {std::nullopt, util::printable(path) + ": out of memory"};
    }
}

}  // namespace netmoth::scene
