#include "util/Output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace netmoth::util {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = write(fd, bytes.data(), bytes.size());
        if (count >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
        pollfd writable{fd, POLLOUT, 0};
        if (poll(&writable, 1, -1) < 0 && errno != EINTR) return false;
    }
    return true;
}

}  // namespace netmoth::util
