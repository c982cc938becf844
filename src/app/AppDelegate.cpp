#include "app/AppDelegate.h"

#include <new>

#include "app/PermissionWord.h"
#include "cli/Usage.h"
#include "cli/ArgumentMatching.h"
#include "reports/ConnectedSignalReport.h"
#include "reports/InterfacesReport.h"
#include "reports/NetworkScanReport.h"

namespace netmoth::app {
namespace {

using cli::hasPrefix;
using cli::textForPeople;

constexpr std::string_view kSsidSwitch = "--ssid=";
constexpr std::string_view kInterfacesSwitch = "--isRetrievingInterfaces";
constexpr std::string_view kConnectedSignalSwitch = "--isRetrievingConnectedSignal";
constexpr std::string_view kPermissionSwitch = "--isCheckingLocationPermission";

}  // namespace

AppDelegate::AppDelegate(platform::PlatformServices& platform, platform::RunLoop& runLoop,
                         std::vector<std::string> arguments, std::ostream& out, platform::Diagnostics& diagnostics)
    : platform_(platform),
      runLoop_(runLoop),
      arguments_(std::move(arguments)),
      out_(out),
      diagnostics_(diagnostics),
      client(platform.sharedWiFiClient()) {}

void AppDelegate::applicationDidFinishLaunching() {
    if (const auto text = textForPeople(arguments_)) {
        printLine(*text);
        terminateApp();
        return;
    }
    std::optional<std::string> ssid;
    bool isRetrievingInterfaces = false;
    bool isRetrievingConnectedSignal = false;
    // The program's own path is examined like every other argument. The two
    // report switches count only as the last argument: each one is reassigned
    // on every argument.
    for (const std::string& argument : arguments_) {
        if (hasPrefix(argument, kSsidSwitch)) ssid = parseArgument(argument, kSsidSwitch);
        isRetrievingInterfaces = hasPrefix(argument, kInterfacesSwitch);
        isRetrievingConnectedSignal = hasPrefix(argument, kConnectedSignalSwitch);
        if (hasPrefix(argument, kPermissionSwitch)) isCheckingLocationPermission = true;
    }

    locationManager = platform_.makeLocationManager(runLoop_);
    if (locationManager) locationManager->setDelegate(this);
    // Permission mode answers from the authorization callback, asking nothing.
    if (isCheckingLocationPermission) return;
    if (locationManager) locationManager->requestWhenInUseAuthorization();

    try {
        if (isRetrievingInterfaces) {
            retrieveInterfacesData();
        } else if (isRetrievingConnectedSignal) {
            retrieveConnectedSignal();
        } else {
            runSsidScan(ssid);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the job's fallback, as when it cannot run at all.
        printLine(isRetrievingInterfaces || isRetrievingConnectedSignal ? "{}" : "[]");
        terminateApp();
    }
}

void AppDelegate::locationManagerDidChangeAuthorization(platform::LocationManager& manager) {
    if (!isCheckingLocationPermission) return;
    printLine(permissionWord(manager.authorizationStatus()));
    terminateApp();
}

std::string AppDelegate::parseArgument(std::string_view argument, std::string_view prefix) const {
    return cli::parseArgument(argument, prefix);
}

void AppDelegate::runSsidScan(const std::optional<std::string>& ssid) {
    const reports::ScanSources sources{client, platform_.sharedWiFiClient(), platform_.standardUserDefaults()};
    finish(reports::buildNetworkScanReport(sources, ssid));
}

void AppDelegate::retrieveConnectedSignal() { finish(reports::buildConnectedSignalReport(client)); }

void AppDelegate::retrieveInterfacesData() { finish(reports::buildInterfacesReport(platform_.sharedWiFiClient())); }

void AppDelegate::finish(const reports::ReportOutcome& outcome) {
    // The platform's own word on a cause is the more precise one.
    if (!outcome.explanation.empty() && diagnostics_.lines().empty()) {
        diagnostics_.note(std::string(outcome.explanation));
    }
    if (outcome.built) {
        printReport(outcome.text, outcome.unwritableText);
    } else {
        printLine(outcome.unbuiltText);
    }
    terminateApp();
}

void AppDelegate::printReport(const std::optional<std::string>& text, std::optional<std::string_view> fallback) {
    if (text) {
        printLine(*text);
    } else if (fallback) {
        printLine(*fallback);
    }
}

void AppDelegate::printLine(std::string_view text) { out_ << text << '\n'; }

void AppDelegate::terminateApp() {
    out_.flush();
    runLoop_.stop();
}

}  // namespace netmoth::app
