#pragma once
// The seam between the program and a radio: the kernel's nl80211, a scene
// file, or another platform's Wi-Fi service. A backend answers with plain
// values and notes in Diagnostics why an answer is missing or degraded.

#include <optional>
#include <string>
#include <vector>

#include "wifi/Values.h"

namespace netmoth::wifi {

class Backend {
public:
    virtual ~Backend() = default;

    // The interface that scans and whose network is "the connected one",
    // equal to its entry in interfaces(); nullopt when there is none.
    virtual std::optional<Interface> defaultInterface() = 0;

    // Every Wi-Fi interface in the platform's order; nullopt when the
    // platform gives no list at all.
    virtual std::optional<std::vector<Interface>> interfaces() = 0;

    // Scans on the default interface and returns what it found, in the
    // platform's order; hidden networks are included. With a name, only the
    // networks of that name, each reported under it, a hidden one answering
    // a probe for it included (the empty name is a name). nullopt when the
    // scan failed.
    virtual std::optional<std::vector<Network>> scan(const std::optional<std::string>& name) = 0;

    // The location permission as the platform last reported it; nullopt when
    // the platform never reports it (a caller asking then waits for ever).
    virtual std::optional<Permission> permission() = 0;
};

}  // namespace netmoth::wifi
