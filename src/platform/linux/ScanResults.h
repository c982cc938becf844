#pragma once
// Scan dump entries turned into the networks the reports read.

#include <optional>
#include <string>
#include <vector>

#include "platform/WiFi.h"
#include "platform/ieee80211/RadioNetwork.h"
#include "platform/linux/Nl80211Records.h"

namespace netmoth::linux_backend {

ieee80211::RadioFacts radioFactsOf(const BssEntry& entry);

// With a name, only the BSSes whose SSID text is exactly that name; without
// one, every BSS, those hiding their name only when includeHidden.
platform::NetworkList networksFrom(const std::vector<BssEntry>& entries, const std::optional<std::string>& name,
                                   bool includeHidden);

}  // namespace netmoth::linux_backend
