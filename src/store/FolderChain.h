#pragma once
// Creates the folders leading to the store, private to the user.

#include <sys/types.h>

#include <filesystem>

namespace netmoth::store {

// Creates each missing folder of the chain with mode 0700 whatever the umask;
// existing ones are left as they are, except that the last one (our own
// folder) regains owner bits a strict umask withheld. false when a folder is
// missing and cannot be created.
bool createFolderChain(const std::filesystem::path& folder);

// Adds the owner permission bits `bits` to the file at path when it is of
// `type` (S_IFDIR, S_IFREG) and owned by the effective user; a link is never
// followed. true when it changed the mode.
bool addOwnerBits(const std::filesystem::path& path, mode_t bits, mode_t type);

}  // namespace netmoth::store
