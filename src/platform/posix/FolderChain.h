#pragma once
// Creates the folders leading to the store, private to the user.

#include <filesystem>

namespace netmoth::platform::posix {

// Creates each missing folder of the chain with mode 0700; existing ones are
// left as they are. false when a folder is missing and cannot be created.
bool createFolderChain(const std::filesystem::path& folder);

}  // namespace netmoth::platform::posix
