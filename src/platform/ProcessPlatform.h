#pragma once
// The platform this process runs on: a scene file when NETMOTH_SCENE names
// one (a developer's simulated radio), otherwise the machine's own radio.

#include <memory>
#include <string>

#include "platform/Diagnostics.h"
#include "platform/PlatformServices.h"

namespace netmoth::platform {

struct ProcessPlatform {
    std::unique_ptr<PlatformServices> services;  // absent when error is set
    std::string error;                           // one line, for standard error
};

// The platform notes in diagnostics why an answer is degraded; diagnostics
// must outlive it.
ProcessPlatform makeProcessPlatform(Diagnostics& diagnostics);

}  // namespace netmoth::platform
