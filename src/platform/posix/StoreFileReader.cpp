#include "platform/posix/StoreFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>

#include "platform/posix/UniqueFd.h"

namespace netmoth::platform::posix {
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

StoreFileContents parseStore(const std::string& text) {
    // nlohmann stops at a NUL byte: a rewrite would drop whatever follows it.
    if (text.find('\0') != std::string::npos) return {StoreFileState::Damaged, nlohmann::json::object()};
    bool tooDeep = false;
    auto watchDepth = [&tooDeep](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
        tooDeep = tooDeep || depth > kMaxStoreNesting;
        return true;
    };
    nlohmann::json parsed = nlohmann::json::parse(text, watchDepth, /*allow_exceptions=*/false);
    if (tooDeep || !parsed.is_object()) return {StoreFileState::Damaged, nlohmann::json::object()};
    return {StoreFileState::Loaded, std::move(parsed)};
}

}  // namespace

StoreFileContents readStoreFile(const std::filesystem::path& file) {
    // O_NONBLOCK so a FIFO planted at the path cannot stall us; it is then
    // rejected as not a regular file.
    UniqueFd fd(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return {errno == ENOENT ? StoreFileState::Missing : StoreFileState::Unreadable, nlohmann::json::object()};
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > kMaxStoreBytes) {
        return {StoreFileState::Unreadable, nlohmann::json::object()};
    }
    std::optional<std::string> text = readCapped(fd.get());
    if (!text) return {StoreFileState::Unreadable, nlohmann::json::object()};
    return parseStore(*text);
}

}  // namespace netmoth::platform::posix
