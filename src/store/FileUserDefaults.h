#pragma once
// The per-user store kept as one JSON object in a file.

#include <filesystem>
#include <memory>
#include <optional>

#include "util/Diagnostics.h"
#include "store/UserDefaults.h"

namespace netmoth::store {

// Each lease locks <store>.lock, reads the store once, and rewrites the whole
// file atomically on every setObject. What it does with an odd store file:
// - missing (or a dangling link): reads empty; the first write creates it.
// - not a JSON object: reads empty; before the first write it is renamed to
//   <store>.corrupt (replacing an older one) so it is never silently lost.
// - unreadable (permission, a folder or other non-regular file, over the size
//   cap): reads empty and is never written, renamed or removed.
// - a link to a readable file: read through; a write replaces the link itself.
// Pass nullopt (no home directory known) for a store that reads nothing and
// writes nowhere. What keeps hidden numbers from being kept is noted in
// diagnostics, which must outlive this object.
class FileUserDefaults final : public UserDefaults {
public:
    FileUserDefaults(std::optional<std::filesystem::path> storeFile, util::Diagnostics& diagnostics);
    std::unique_ptr<DefaultsLease> acquire() override;

private:
    std::optional<std::filesystem::path> storeFile_;
    util::Diagnostics& diagnostics_;
};

}  // namespace netmoth::store
