#pragma once
// Replaces a file so that a crash at any moment leaves either the old or the
// new complete file, never a partial one.

#include <filesystem>
#include <string_view>

namespace netmoth::util {

// Temporary files are named <target><suffix><six random characters>, each
// one of [A-Za-z0-9] (mkostemp's).
inline constexpr std::string_view kTemporarySuffix = ".tmp-";

// Whether a file name is one of target's temporary files.
bool isTemporaryName(const std::filesystem::path& target, std::string_view name);

// Writes a temporary file (mode 0600) beside target, syncs it, renames it over
// target and syncs the folder. 0, or the errno of the step before the rename
// that failed; the temporary file is then removed and target is left as it
// was. A link at target is replaced by the file, never written through.
int replaceFileAtomically(const std::filesystem::path& target, std::string_view contents);

}  // namespace netmoth::util
