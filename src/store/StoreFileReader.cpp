#include "store/StoreFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "util/Memory.h"
#include "util/UniqueFd.h"

namespace netmoth::store {
namespace {

// The whole file, or nullopt when reading fails or it exceeds the cap.
std::optional<std::string> readCapped(int fd) {
    std::string text;
    char chunk[65536];
    while (text.size() <= kMaxStoreBytes) {
        ssize_t count = read(fd, chunk, sizeof chunk);
        if (count == 0) return text;
        if (count < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        text.append(chunk, static_cast<std::size_t>(count));
    }
    return std::nullopt;
}

StoreFileContents unreadable(std::string problem) { return {StoreFileState::Unreadable, {}, std::move(problem)}; }

StoreFileContents readUnguarded(const std::filesystem::path& file) {
    // O_NONBLOCK so a FIFO planted at the path cannot stall us; it is then
    // rejected as not a regular file.
    util::UniqueFd fd(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT) return {};
        return unreadable(std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return unreadable("not a regular file");
    if (static_cast<std::size_t>(info.st_size) > kMaxStoreBytes) return unreadable("larger than 64 MiB");
    std::optional<std::string> text = readCapped(fd.get());
    if (!text) return unreadable("cannot read it whole");
    // Parsed, the document takes several times its text; one that could not
    // finish could not even free itself (see addressSpaceLeftFor).
    constexpr std::size_t kParsedPerTextByte = 8;
    if (!util::addressSpaceLeftFor(text->size() * kParsedPerTextByte)) return unreadable("out of memory");
    std::optional<StoreDocument> document = parseStoreDocument(*text);
    if (!document) return {StoreFileState::Damaged, {}, {}};
    return {StoreFileState::Loaded, std::move(*document), {}};
}

}  // namespace

StoreFileContents readStoreFile(const std::filesystem::path& file) {
    try {
        return readUnguarded(file);
    } catch (const std::bad_alloc&) {
        util::armMemoryReserve();
        return unreadable("out of memory");
    }
}

}  // namespace netmoth::store
