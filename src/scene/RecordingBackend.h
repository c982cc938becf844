#pragma once
// Recording a run on the real radio as a scene that replays it: the values
// the backend answered are written down through the scene model.

#include <filesystem>
#include <memory>

#include "wifi/Backend.h"

namespace netmoth::scene {

// Forwards to real. Each question is asked of real once: every later call is
// answered as the first (a scan, for the name it was first asked with), so the
// record holds exactly what the run saw. When the returned backend is
// destroyed, the answers (and the facts the run did not ask, asked then) are
// written to target as a scene, replacing it whole. Recording never reports
// anything: a record that cannot be made or written is dropped.
std::unique_ptr<wifi::Backend> makeRecordingBackend(std::unique_ptr<wifi::Backend> real,
                                                    std::filesystem::path target);

}  // namespace netmoth::scene
