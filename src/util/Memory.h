#pragma once
// Memory at the edges of a launch. Room to fail in: nlohmann's values free their children through a heap
// allocated stack, inside a noexcept destructor: a value destroyed while
// memory is exhausted (unwinding from std::bad_alloc) would end the process.
// A reserve set aside at launch is given back at the first failed allocation,
// which still throws std::bad_alloc, so the unwinding has memory to free with.

#include <cstddef>

namespace netmoth::util {

// Sets the reserve aside (a share of the address-space limit, at most 64 MiB)
// unless it is already set; call again after handling std::bad_alloc.
void armMemoryReserve();

// Whether the address-space limit (ulimit -v) leaves room for this many more
// bytes. Some unwinding cannot be made safe by the reserve: a JSON document
// that fails half-built frees itself through an allocation of its own, so a
// large one is only started when it can finish.
bool addressSpaceLeftFor(std::size_t bytes);

// Large buffers written once from start to end (the scene file's text, a long
// answer) cost a fault per 4 KiB page when first written, 40,000 in a
// 100,000-network scan; where the kernel offers transparent huge pages on
// request, asking for them cuts that 512-fold. Asks for huge pages under the
// whole 2 MiB pages inside [data, data + size); only advice.
void adviseHugePages(void* data, std::size_t size);

}  // namespace netmoth::util
