#include "util/Memory.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
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

void adviseHugePages(void* data, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + size) & ~(kHugePage - 1);
    if (end <= first) return;  // smaller than one whole huge page
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace netmoth::util
