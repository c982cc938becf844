#pragma once
// The one object that holds the program's logic: it reads the switches once
// launching has finished, runs the single job of this launch and ends it.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Diagnostics.h"
#include "platform/PlatformServices.h"
#include "reports/ReportOutcome.h"

namespace netmoth::app {

class AppDelegate : public platform::LocationManagerDelegate {
public:
    AppDelegate(platform::PlatformServices& platform, platform::RunLoop& runLoop, std::vector<std::string> arguments,
                std::ostream& out, platform::Diagnostics& diagnostics);

    // Runs once, on the run loop, after start.
    void applicationDidFinishLaunching();
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager) override;

    // What follows the prefix's length in characters, less one pair of
    // enclosing double quotes. The prefix is counted, never compared.
    std::string parseArgument(std::string_view argument, std::string_view prefix) const;

private:
    void runSsidScan(const std::optional<std::string>& ssid);
    void retrieveConnectedSignal();
    void retrieveInterfacesData();

    void finish(const reports::ReportOutcome& outcome);
    // The written report, or the fallback (if any) when it could not be written.
    void printReport(const std::optional<std::string>& text, std::optional<std::string_view> fallback);
    void printLine(std::string_view text);
    void terminateApp();

    platform::PlatformServices& platform_;
    platform::RunLoop& runLoop_;
    const std::vector<std::string> arguments_;  // already decoded as UTF-8
    std::ostream& out_;
    platform::Diagnostics& diagnostics_;

    std::unique_ptr<platform::LocationManager> locationManager;
    platform::WiFiClient& client;
    bool isCheckingLocationPermission = false;
};

}  // namespace netmoth::app
