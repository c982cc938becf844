#pragma once
// Lines for standard error that say why the kernel's answer is empty or
// degraded, each naming the cause and the way out.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace netmoth::nl80211::notes {

std::string noNl80211();
std::string noInterfaces();
std::string noStation();
std::string interfaceDown(std::string_view interface);
std::string interfacesUnreadable();
std::string scanUnwatchable(std::string_view interface);
std::string scanResultsUnreadable(std::string_view interface);
std::string scanTimedOut(std::string_view interface, std::chrono::seconds waited, std::string_view manager = {});

// What the answer to a scan trigger (the kernel's errno, 0 when started,
// nullopt when netlink failed) means for the caller; empty when the scan is
// fresh or the network manager is asked instead.
std::string afterTrigger(std::string_view interface, std::optional<int> error);
// No scan of ours and none by a network manager (refusals says why each did
// not); selfPath names the binary in the setcap advice.
std::string noScanAllowed(std::string_view refusals, std::string_view selfPath);
// The manager scanned but could not send a directed probe for name.
std::string notProbed(std::string_view manager, std::string_view name);

}  // namespace netmoth::nl80211::notes
