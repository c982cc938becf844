#include "util/MemoryReserve.h"

#include <sys/resource.h>

#include <cstdlib>
#include <new>

namespace netmoth::util {
namespace {

void* reserve = nullptr;

void releaseReserveAndFail() {
    std::free(reserve);
    reserve = nullptr;
    std::set_new_handler(nullptr);
    throw std::bad_alloc();
}

}  // namespace

void armMemoryReserve() {
    if (reserve != nullptr) return;
    std::size_t size = std::size_t{64} << 20;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur / 4 < size) {
        size = static_cast<std::size_t>(limit.rlim_cur / 4);
    }
    // Untouched, the pages cost address space only, never resident memory.
    reserve = std::malloc(size);
    if (reserve != nullptr) std::set_new_handler(releaseReserveAndFail);
}

}  // namespace netmoth::util
