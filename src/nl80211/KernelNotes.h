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
std::string scanTimedOut(std::string_view interface, std::chrono::seconds waited);

// What the answer to a scan trigger (the kernel's errno, 0 when started,
// nullopt when netlink failed) means for the caller; empty when the scan is
// fresh. selfPath names the binary in the setcap advice.
std::string afterTrigger(std::string_view interface, std::optional<int> error, std::string_view selfPath);

}  // namespace netmoth::nl80211::notes
