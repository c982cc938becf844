#pragma once
// Room to fail in. nlohmann's values free their children through a heap
// allocated stack, inside a noexcept destructor: a value destroyed while
// memory is exhausted (unwinding from std::bad_alloc) would end the process.
// A reserve set aside at launch is given back at the first failed allocation,
// which still throws std::bad_alloc, so the unwinding has memory to free with.

namespace netmoth::util {

// Sets the reserve aside (a share of the address-space limit, at most 64 MiB)
// unless it is already set; call again after handling std::bad_alloc.
void armMemoryReserve();

}  // namespace netmoth::util
