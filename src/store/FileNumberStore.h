#pragma once
// The hidden-network numbers kept in a file: one JSON object whose member
// "hiddenSsidIndexByBssid" maps BSSID text to a number; other members belong
// to others and are written back as they were read.

#include <filesystem>
#include <memory>
#include <optional>

#include "util/Diagnostics.h"
#include "store/NumberStore.h"

namespace netmoth::store {

// Each lease locks <store>.lock, reads the store once, and rewrites the whole
// file atomically on every save. What it does with an odd store file:
// - missing (or a dangling link): reads empty; the first write creates it.
// - not a JSON object: reads empty; before the first write it is renamed to
//   <store>.corrupt (replacing an older one) so it is never silently lost.
// - unreadable (permission, a folder or other non-regular file, over the size
//   cap): reads empty and is never written, renamed or removed.
// - a link to a readable file: read through; a write replaces the link itself.
// Pass nullopt (no home directory known) for a store that reads nothing and
// writes nowhere. What keeps hidden numbers from being kept is noted in
// diagnostics, which must outlive this object.
class FileNumberStore final : public NumberStore {
public:
    FileNumberStore(std::optional<std::filesystem::path> storeFile, util::Diagnostics& diagnostics);
    std::unique_ptr<NumbersLease> lease() override;

private:
    std::optional<std::filesystem::path> storeFile_;
    util::Diagnostics& diagnostics_;
};

}  // namespace netmoth::store
