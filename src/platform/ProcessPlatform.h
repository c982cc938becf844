#pragma once
// The platform this process runs on: a scene file when NETMOTH_SCENE names
// one (a developer's simulated radio), otherwise the machine's own radio.

#include <memory>
#include <string>

#include "platform/PlatformServices.h"

namespace netmoth::platform {

struct ProcessPlatform {
    std::unique_ptr<PlatformServices> services;  // absent when error is set
    std::string error;                           // one line, for standard error
};

ProcessPlatform makeProcessPlatform();

}  // namespace netmoth::platform
