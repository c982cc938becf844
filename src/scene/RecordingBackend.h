#pragma once
// Recording a run on the real radio as a scene that replays it: the values
// the backend answered are written down through the scene model.

#include <filesystem>
#include <memory>

#include "util/Diagnostics.h"
#include "wifi/Backend.h"

namespace netmoth::scene {

// Forwards to real. Each question is asked of real once: every later call is
// answered as the first (a scan, for the name it was first asked with), so the
// record holds exactly what the run saw. When the returned backend is
// destroyed, the answers (and the facts the run did not ask, asked then) are
// written to target as a scene, replacing it whole. A record is written only
// to a new file or over a regular file (as root, renaming over /dev/full would
// replace the device), and not at all when the platform gave no interface
// list; a target that cannot take one is noted in diagnostics at once, since
// the record is written after they are printed. Any other failure to make or
// write the record drops it silently: it never changes the answer.
std::unique_ptr<wifi::Backend> makeRecordingBackend(std::unique_ptr<wifi::Backend> real,
                                                    std::filesystem::path target, util::Diagnostics& diagnostics);

}  // namespace netmoth::scene
