#include "cli/Run.h"

#include <new>
#include <optional>

#include "cli/ArgumentMatching.h"
#include "cli/Usage.h"
#include "util/Memory.h"
#include "report/Reports.h"

namespace netmoth::cli {
namespace {

constexpr std::string_view kSsidSwitch = "--ssid=";
constexpr std::string_view kInterfacesSwitch = "--isRetrievingInterfaces";
constexpr std::string_view kConnectedSignalSwitch = "--isRetrievingConnectedSignal";
constexpr std::string_view kPermissionSwitch = "--isCheckingLocationPermission";

enum class Job { Scan, Interfaces, ConnectedSignal, Permission };

struct Launch {
    Job job = Job::Scan;
    std::optional<std::string> ssid;
};

// The program's own path is examined like every other argument. The two
// report switches count only as the last argument: each is reassigned on
// every argument. The permission switch counts anywhere and wins.
Launch readSwitches(const std::vector<std::string>& arguments) {
    Launch launch;
    bool interfaces = false;
    bool connectedSignal = false;
    bool permission = false;
    for (const std::string& argument : arguments) {
        if (hasPrefix(argument, kSsidSwitch)) launch.ssid = parseArgument(argument, kSsidSwitch);
        interfaces = hasPrefix(argument, kInterfacesSwitch);
        connectedSignal = hasPrefix(argument, kConnectedSignalSwitch);
        permission = permission || hasPrefix(argument, kPermissionSwitch);
    }
    if (permission) {
        launch.job = Job::Permission;
    } else if (interfaces) {
        launch.job = Job::Interfaces;
    } else if (connectedSignal) {
        launch.job = Job::ConnectedSignal;
    }
    return launch;
}

report::Answer runSsidScan(Platform& platform, const std::optional<std::string>& ssid) {
    const std::optional<wifi::Interface> scanning = platform.backend.defaultInterface();
    if (!scanning) return report::scanFallback(report::why::kNoInterface);
    const std::string connectedBssid = scanning->bssid.value_or("");
    const std::optional<std::vector<wifi::Network>> networks = platform.backend.scan(ssid);
    if (!networks) return report::scanFallback(report::why::kScanFailed);
    // Held until the numbers are saved, so concurrent scans number in turn.
    const std::unique_ptr<store::NumbersLease> lease = platform.numbers.lease();
    report::HiddenSsidIndex hidden = report::loadHiddenSsidIndex(lease->numbers());
    report::Answer answer = report::scanReport(*networks, connectedBssid, hidden);
    report::saveHiddenSsidIndex(hidden, *lease);
    return answer;
}

report::Answer answer(Platform& platform, const Launch& launch) {
    switch (launch.job) {
        case Job::Interfaces:
            return report::interfacesReport(platform.backend.interfaces());
        case Job::ConnectedSignal:
            return report::connectedSignalReport(platform.backend.defaultInterface());
        case Job::Scan:
        case Job::Permission:
            break;
    }
    return runSsidScan(platform, launch.ssid);
}

void printLine(std::string& out, std::string_view line) {
    out.append(line);
    out += '\n';
}

// A long answer (a scan of thousands of networks) is moved, not copied.
void printLine(std::string& out, std::string&& line) {
    if (!out.empty()) return printLine(out, std::string_view(line));
    out = std::move(line);
    out += '\n';
}

}  // namespace

bool run(const std::vector<std::string>& arguments, Platform& platform, std::string& out) {
    if (const auto text = textForPeople(arguments)) {
        printLine(out, *text);
        return true;
    }
    const Launch launch = readSwitches(arguments);
    if (launch.job == Job::Permission) {
        const std::optional<wifi::Permission> permission = platform.backend.permission();
        if (!permission) return false;
        printLine(out, report::permissionWord(*permission));
        return true;
    }
    report::Answer given;
    try {
        given = answer(platform, launch);
    } catch (const std::bad_alloc&) {
        // Out of memory: the job's fallback, as when it cannot run at all.
        util::armMemoryReserve();
        given = {launch.job == Job::Scan ? "[]" : "{}", report::why::kOutOfMemory};
    }
    if (given.line) printLine(out, std::move(*given.line));
    // The backend's own word on a cause is the more precise one.
    if (!given.why.empty() && platform.diagnostics.lines().empty()) platform.diagnostics.note(std::string(given.why));
    return true;
}

}  // namespace netmoth::cli
