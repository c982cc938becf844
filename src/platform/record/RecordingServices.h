#pragma once
// Recording a launch on the real radio as a scene that replays it.

#include <filesystem>
#include <memory>

#include "platform/PlatformServices.h"

namespace netmoth::record {

// Serves real's objects through recorders. When the returned services are
// destroyed (after the answer was written), what the platform answered is
// written as a scene file to target, replacing it whole. Recording never
// reports anything: a record that cannot be made or written is dropped.
std::unique_ptr<platform::PlatformServices> makeRecordingServices(std::unique_ptr<platform::PlatformServices> real,
                                                                  std::filesystem::path target);

}  // namespace netmoth::record
