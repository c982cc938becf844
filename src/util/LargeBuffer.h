#pragma once
// Large buffers written once from start to end: the scene file's text, a long
// answer. Backed by 4 KiB pages, each page costs a fault when first written
// (40,000 of them in a 100,000-network scan); where the kernel offers
// transparent huge pages on request, asking for them cuts that 512-fold.

#include <cstddef>

namespace netmoth::util {

// Asks for huge pages under the whole 2 MiB pages inside [data, data + size).
// Only advice: nothing changes where the kernel declines it.
void adviseHugePages(void* data, std::size_t size);

}  // namespace netmoth::util
