#pragma once
// Room to fail in. nlohmann's values free their children through a heap
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

}  // namespace netmoth::util
