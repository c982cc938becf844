#pragma once
// The network the default interface is joined to: name, BSSID, signal.

#include "platform/WiFi.h"
#include "reports/ReportOutcome.h"

namespace netmoth::reports {

ReportOutcome buildConnectedSignalReport(platform::WiFiClient& client);

}  // namespace netmoth::reports
