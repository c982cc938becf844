#include "cli/Usage.h"

namespace netmoth::cli {
namespace {

constexpr const char* kUsage = R"usage(usage: netmoth-companion [--ssid=NAME | --isRetrievingConnectedSignal |
                          --isRetrievingInterfaces | --isCheckingLocationPermission]

Reads Wi-Fi facts for another program; each launch prints one answer on
standard output and exits with status 0.

  (no switch)                     every network around, hidden ones too: JSON array, one record per BSSID
  --ssid=NAME                     the same, for the networks called NAME (a hidden one answers a probe)
  --isRetrievingConnectedSignal   name, BSSID and signal of the network the default interface is joined to
  --isRetrievingInterfaces        every Wi-Fi interface with the name and BSSID of its network
  --isCheckingLocationPermission  the location permission as one word

When a job cannot build its answer it prints [] (scan) or {} (the others);
standard error then says why, in one line per cause.

Environment:
  NETMOTH_SCENE     a scene file that replaces the radio (a developer's simulated Wi-Fi)
  NETMOTH_RECORD    also write what the real radio answered as a replayable scene file
  XDG_CONFIG_HOME, HOME
                    where the store lives

Hidden networks are labelled "Hidden SSID N"; N is kept per BSSID in
$XDG_CONFIG_HOME/netmoth-companion/defaults.json (default ~/.config/...).

Fresh scans need the CAP_NET_ADMIN capability; without it the answer is the
kernel's cached results. To allow fresh scans for every user:
  sudo setcap cap_net_admin+ep "$(command -v netmoth-companion)"

More: man netmoth-companion)usage";

}  // namespace

std::optional<std::string> textForPeople(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) return std::nullopt;
    if (arguments[1] == "--help") return kUsage;
    if (arguments[1] == "--version") return "netmoth-companion " NETMOTH_VERSION;
    return std::nullopt;
}

}  // namespace netmoth::cli
