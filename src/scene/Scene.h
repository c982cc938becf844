#pragma once
// A scene as plain values: what the reader makes of a scene file, what the
// scene backend answers from, and what the recorder writes back. The file's
// platform codes never reach this model; PlatformCodes.h translates them at
// reading and at writing.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "wifi/Values.h"

namespace netmoth::scene {

struct SceneNetwork {
    wifi::Network network;
    // A directed probe for this name finds the network and reports it under that name.
    std::optional<std::string> answersProbeFor;
};

struct SceneScan {
    bool fails = false;  // every scan fails; networks are then never returned
    std::vector<SceneNetwork> networks;
};

struct SceneInterface {
    wifi::Interface interface;
    SceneScan scan;
};

struct Scene {
    // nullopt: the platform never reports the permission.
    std::optional<wifi::Permission> permission = wifi::Permission::Authorized;
    // nullopt: the platform gives no list (unlike an empty one).
    std::optional<std::vector<SceneInterface>> interfaces = std::vector<SceneInterface>{};
    // Index into interfaces; nullopt: no default interface.
    std::optional<std::size_t> defaultInterface;
};

}  // namespace netmoth::scene
