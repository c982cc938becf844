#pragma once
// One scan's answer as the scene will replay it.

#include <optional>
#include <string>

#include "platform/WiFi.h"
#include "platform/scene/SceneWriter.h"

namespace netmoth::record {

// networks: what the scan returned (nullopt: it failed); name: the name it
// was asked for. A replayed scan for the same name returns the same networks
// in the same order.
scene::WrittenScan recordScan(const std::optional<platform::NetworkList>& networks,
                              const std::optional<std::string>& name);

}  // namespace netmoth::record
