#pragma once
// The default job: one record per distinct BSSID the default interface can see.

#include <optional>
#include <string>

#include "platform/UserDefaults.h"
#include "platform/WiFi.h"
#include "reports/ReportOutcome.h"

namespace netmoth::reports {

struct ScanSources {
    platform::WiFiClient& client;        // gives the interface that scans
    platform::WiFiClient& sharedClient;  // asked afresh for the current BSSID
    platform::UserDefaults& defaults;    // keeps the hidden-network numbers
};

// name: scan for that network only (hidden ones answering a directed probe
// included); nullopt: every network. The empty name is a name.
ReportOutcome buildNetworkScanReport(const ScanSources& sources, const std::optional<std::string>& name);

}  // namespace netmoth::reports
