#pragma once
// Every Wi-Fi interface by name, with the name and BSSID of its network.

#include "platform/WiFi.h"
#include "reports/ReportOutcome.h"

namespace netmoth::reports {

ReportOutcome buildInterfacesReport(platform::WiFiClient& sharedClient);

}  // namespace netmoth::reports
