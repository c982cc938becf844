#pragma once
// Fresh scans for a process that may not trigger one itself. An ordinary user
// cannot ask nl80211 to scan (that takes CAP_NET_ADMIN), but the network
// manager running the interface scans on the user's behalf when its policy
// allows: NetworkManager (with a directed probe for a name), else iwd. The
// kernel's scan results then hold what that scan found, read as usual.

#include <chrono>
#include <optional>
#include <string>

namespace netmoth::netmanager {

struct ManagerScan {
    enum class Outcome {
        Finished,  // a manager scanned and the scan ended
        Unfinished,  // a manager scanned, but the scan did not end within the wait
        Refused,  // no manager scanned
    };
    Outcome outcome = Outcome::Refused;
    std::string manager;   // who scanned ("NetworkManager", "iwd")
    bool probed = false;   // the name was sent as a directed probe
    std::string refusals;  // Refused: why each manager did not scan
};

// Asks the managers in turn to scan on netdev, probing for probeName when
// given, and waits at most `wait` for the scan to end. Never throws; the
// D-Bus library is loaded only when this is called.
ManagerScan scanThroughManager(const std::string& netdev, const std::optional<std::string>& probeName,
                               std::chrono::milliseconds wait);

}  // namespace netmoth::netmanager
