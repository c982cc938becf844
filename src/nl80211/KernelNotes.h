#pragma once
// Lines for standard error that say why the kernel's answer is empty or
// degraded, each naming the cause and the way out.

#include <chrono>
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

// A scan trigger that netlink did not answer, or the kernel refused.
std::string scanUnanswered(std::string_view interface);
std::string deviceGone(std::string_view interface);
std::string scanRefused(std::string_view interface, int error);
// No scan of ours and none by a network manager (refusals says why each did
// not); selfPath names the binary in the setcap advice.
std::string noScanAllowed(std::string_view refusals, std::string_view selfPath);
// The manager scanned but could not send a directed probe for name.
std::string notProbed(std::string_view manager, std::string_view name);

}  // namespace netmoth::nl80211::notes
