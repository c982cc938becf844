#include "nl80211/KernelNotes.h"

#include <cstring>

#include "util/Diagnostics.h"

namespace netmoth::nl80211::notes {
namespace {

std::string text(std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    std::string line(a);
    line.append(b).append(c);
    return line;
}

constexpr std::string_view kAddAdapter =
    ": connect a Wi-Fi adapter or load its driver (`iw dev` lists what the kernel has)";
constexpr std::string_view kCached =
    ", so the answer is the kernel's cached results: they may be up to 30 s old or miss networks, and hidden "
    "networks are not probed by name";

}  // namespace

std::string noNl80211() {
    return "the kernel offers no nl80211 (cfg80211 is not loaded, so no Wi-Fi driver is), so there is no radio to "
           "read: load the Wi-Fi driver, or run this on a machine with Wi-Fi";
}

std::string noInterfaces() { return text("the kernel lists no Wi-Fi interface", kAddAdapter); }

std::string noStation() {
    return "no Wi-Fi interface is in station (client) mode, so none can scan or be joined to a network: add one "
           "with `iw phy PHY interface add wlan0 type managed`, or let the network manager set one up";
}

std::string interfaceDown(std::string_view interface) {
    return text(interface, " is down: bring it up with `ip link set ", text(interface, " up`"));
}

std::string interfacesUnreadable() {
    return "the kernel did not list its Wi-Fi interfaces (nl80211 did not answer): try again";
}

std::string scanUnwatchable(std::string_view interface) {
    return text("the scan on ", interface, " failed: cannot follow nl80211 scan events; try again");
}

std::string scanResultsUnreadable(std::string_view interface) {
    return text("the scan on ", interface, " failed: the kernel did not give its scan results; try again");
}

std::string scanTimedOut(std::string_view interface, std::chrono::seconds waited, std::string_view manager) {
    return text(manager.empty() ? "the scan on " : text(manager, "'s scan on "), interface,
                text(" did not finish within ", std::to_string(waited.count()),
                     " s, so the answer holds only what it had found by then: try again"));
}

std::string scanUnanswered(std::string_view interface) {
    return text("the scan on ", interface, " failed: nl80211 did not answer; try again");
}

std::string deviceGone(std::string_view interface) {
    return text("the scan on ", interface, " failed: the device is gone");
}

std::string scanRefused(std::string_view interface, int error) {
    return text(interface, text(" refused a fresh scan (", std::strerror(error), ")"), kCached);
}

std::string noScanAllowed(std::string_view refusals, std::string_view selfPath) {
    return text("a fresh scan needs the CAP_NET_ADMIN capability, which this process lacks, and no network manager "
                "scanned for it (",
                refusals,
                text(")", kCached,
                     text("; let the network manager's policy allow this user to scan, or allow fresh scans for "
                          "every user: sudo setcap cap_net_admin+ep ",
                          selfPath, " (see the README)")));
}

std::string notProbed(std::string_view manager, std::string_view name) {
    return text(manager, text(" scanned but cannot probe for \"", util::printable(name)),
                "\", so a hidden network of that name is missing unless the kernel already knew it");
}

}  // namespace netmoth::nl80211::notes
