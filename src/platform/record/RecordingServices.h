#pragma once
// Recording a launch on the real radio as a scene that replays it.

#include <filesystem>
#include <memory>

#include "platform/Diagnostics.h"
#include "platform/PlatformServices.h"

namespace netmoth::record {

// Serves real's objects through recorders. When the returned services are
// destroyed (after the answer was written), what the platform answered is
// written as a scene file to target, replacing it whole. Nothing is written
// when the platform gave no interface list (no radio), and nothing over a
// target that exists and is not a regular file (a line in diagnostics says
// so). A record that cannot be made or written is otherwise dropped silently.
std::unique_ptr<platform::PlatformServices> makeRecordingServices(std::unique_ptr<platform::PlatformServices> real,
                                                                  std::filesystem::path target,
                                                                  platform::Diagnostics& diagnostics);

}  // namespace netmoth::record
