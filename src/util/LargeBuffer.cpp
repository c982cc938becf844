#include "util/LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace netmoth::util {

void adviseHugePages(void* data, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + size) & ~(kHugePage - 1);
    if (end <= first) return;  // smaller than one whole huge page
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace netmoth::util
