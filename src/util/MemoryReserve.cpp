#include "util/MemoryReserve.h"

#include <sys/resource.h>

#include <unistd.h>

#include <cstdio>
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

bool addressSpaceLeftFor(std::size_t bytes) {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
    std::FILE* statm = std::fopen("/proc/self/statm", "re");
    if (statm == nullptr) return true;
    unsigned long pages = 0;
    const bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    if (!read) return true;
    const auto used = static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    return used < limit.rlim_cur && limit.rlim_cur - used >= bytes;
}

}  // namespace netmoth::util
