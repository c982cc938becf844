#pragma once
// Which radio this launch reads: a scene file when NETMOTH_SCENE names one (a
// developer's simulated Wi-Fi), otherwise the kernel's nl80211, recorded to
// NETMOTH_RECORD when that names a file.

#include <memory>
#include <string>

#include "util/Diagnostics.h"
#include "wifi/Backend.h"

namespace netmoth::cli {

struct ChosenBackend {
    std::unique_ptr<wifi::Backend> backend;  // absent when error is set
    std::string error;                       // one line, for standard error
};

// The variables count only for an unprivileged process: a binary running
// set-user-ID or with file capabilities ignores them. diagnostics must
// outlive the backend.
ChosenBackend chooseBackend(util::Diagnostics& diagnostics);

}  // namespace netmoth::cli
