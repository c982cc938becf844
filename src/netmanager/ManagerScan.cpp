#include "netmanager/ManagerScan.h"

#include <time.h>

#include <string_view>
#include <thread>

#include "netmanager/SystemBus.h"

namespace netmoth::netmanager {
namespace {

using Clock = std::chrono::steady_clock;

// Both managers say a scan ended through a property; asking four times a
// second costs nothing beside a scan of several seconds.
constexpr std::chrono::milliseconds kPollInterval{250};
constexpr std::size_t kMaxSsidLength = 32;

constexpr const char* kNetworkManager = "org.freedesktop.NetworkManager";
constexpr const char* kWireless = "org.freedesktop.NetworkManager.Device.Wireless";
constexpr const char* kIwd = "net.connman.iwd";
constexpr const char* kIwdStation = "net.connman.iwd.Station";

// NetworkManager stamps LastScan in CLOCK_BOOTTIME milliseconds.
std::int64_t boottimeMsec() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// Asks ended() until it says yes, the property cannot be read, or the wait is over.
bool pollUntil(Clock::time_point deadline, const std::function<std::optional<bool>()>& ended) {
    for (;;) {
        const std::optional<bool> done = ended();
        if (!done || *done) return done.value_or(false);
        if (Clock::now() + kPollInterval > deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

// RequestScan's options: {"ssids": [name]} probes for the name; {} scans
// for every network.
int appendScanOptions(const SdBus& api, sd_bus_message* call, const std::optional<std::string>& probeName) {
    int status = api.sd_bus_message_open_container(call, 'a', "{sv}");
    if (status >= 0 && probeName) {
        const bool filled =
            api.sd_bus_message_open_container(call, 'e', "sv") >= 0 &&
            api.sd_bus_message_append_basic(call, 's', "ssids") >= 0 &&
            api.sd_bus_message_open_container(call, 'v', "aay") >= 0 &&
            api.sd_bus_message_open_container(call, 'a', "ay") >= 0 &&
            api.sd_bus_message_append_array(call, 'y', probeName->data(), probeName->size()) >= 0 &&
            api.sd_bus_message_close_container(call) >= 0 && api.sd_bus_message_close_container(call) >= 0 &&
            api.sd_bus_message_close_container(call) >= 0;
        if (!filled) status = -1;
    }
    return status >= 0 ? api.sd_bus_message_close_container(call) : status;
}

// nullopt, with why, when NetworkManager does not scan on netdev for us.
std::optional<bool> scanByNetworkManager(SystemBus& bus, const std::string& netdev,
                                         const std::optional<std::string>& probeName, Clock::time_point deadline,
                                         std::string& why) {
    const Message device = bus.call(kNetworkManager, "/org/freedesktop/NetworkManager", kNetworkManager,
                                    "GetDeviceByIpIface",
                                    [&](sd_bus_message* call) {
                                        return bus.api().sd_bus_message_append_basic(call, 's', netdev.c_str());
                                    },
                                    why);
    const char* path = nullptr;
    if (!device) return std::nullopt;
    if (bus.api().sd_bus_message_read_basic(device.get(), 'o', &path) <= 0) {
        why = "it gave no device for " + netdev;
        return std::nullopt;
    }
    const std::string devicePath(path);
    const std::int64_t requested = boottimeMsec();
    const Message reply = bus.call(
        kNetworkManager, devicePath, kWireless, "RequestScan",
        [&](sd_bus_message* call) { return appendScanOptions(bus.api(), call, probeName); }, why);
    if (!reply) return std::nullopt;
    return pollUntil(deadline, [&]() -> std::optional<bool> {
        std::string unread;
        auto lastScan = bus.int64Property(kNetworkManager, devicePath, kWireless, "LastScan", unread);
        if (!lastScan) return std::nullopt;
        return *lastScan >= requested;
    });
}

// Reads one string out of a variant, skipping any other type.
std::optional<std::string> readStringVariant(const SdBus& api, sd_bus_message* message) {
    if (api.sd_bus_message_enter_container(message, 'v', "s") <= 0) {
        api.sd_bus_message_skip(message, "v");
        return std::nullopt;
    }
    const char* text = nullptr;
    std::optional<std::string> value;
    if (api.sd_bus_message_read_basic(message, 's', &text) > 0) value = text;
    api.sd_bus_message_exit_container(message);
    return value;
}

// In one object's interfaces (a{sa{sv}}): whether it is a station whose
// device is named netdev.
bool isStationOf(const SdBus& api, sd_bus_message* message, const std::string& netdev) {
    bool named = false, station = false;
    if (api.sd_bus_message_enter_container(message, 'a', "{sa{sv}}") <= 0) return false;
    while (api.sd_bus_message_enter_container(message, 'e', "sa{sv}") > 0) {
        const char* interface = nullptr;
        if (api.sd_bus_message_read_basic(message, 's', &interface) <= 0) break;
        const std::string_view name(interface);
        station = station || name == kIwdStation;
        if (name != "net.connman.iwd.Device" || api.sd_bus_message_enter_container(message, 'a', "{sv}") <= 0) {
            api.sd_bus_message_skip(message, "a{sv}");
        } else {
            while (api.sd_bus_message_enter_container(message, 'e', "sv") > 0) {
                const char* key = nullptr;
                if (api.sd_bus_message_read_basic(message, 's', &key) <= 0) break;
                if (std::string_view(key) == "Name") {
                    named = named || readStringVariant(api, message) == netdev;
                } else {
                    api.sd_bus_message_skip(message, "v");
                }
                api.sd_bus_message_exit_container(message);
            }
            api.sd_bus_message_exit_container(message);
        }
        api.sd_bus_message_exit_container(message);
    }
    api.sd_bus_message_exit_container(message);
    return named && station;
}

// iwd names its objects by number: find the station whose device is netdev.
std::optional<std::string> iwdStationPath(SystemBus& bus, const std::string& netdev, std::string& why) {
    const Message objects =
        bus.call(kIwd, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr, why);
    if (!objects) return std::nullopt;
    const SdBus& api = bus.api();
    sd_bus_message* message = objects.get();
    if (api.sd_bus_message_enter_container(message, 'a', "{oa{sa{sv}}}") > 0) {
        while (api.sd_bus_message_enter_container(message, 'e', "oa{sa{sv}}") > 0) {
            const char* path = nullptr;
            if (api.sd_bus_message_read_basic(message, 'o', &path) <= 0) break;
            const std::string objectPath(path);
            if (isStationOf(api, message, netdev)) return objectPath;
            api.sd_bus_message_exit_container(message);
        }
    }
    why = "it runs no station named " + netdev;
    return std::nullopt;
}

// iwd cannot probe for a name; its Scanning property falls when the scan ends.
std::optional<bool> scanByIwd(SystemBus& bus, const std::string& netdev, Clock::time_point deadline,
                              std::string& why) {
    const auto station = iwdStationPath(bus, netdev, why);
    if (!station || !bus.call(kIwd, *station, kIwdStation, "Scan", nullptr, why)) return std::nullopt;
    return pollUntil(deadline, [&]() -> std::optional<bool> {
        std::string unread;
        auto scanning = bus.boolProperty(kIwd, *station, kIwdStation, "Scanning", unread);
        if (!scanning) return std::nullopt;
        return !*scanning;
    });
}

ManagerScan scanned(const char* manager, bool ended, bool probed) {
    return ManagerScan{ended ? ManagerScan::Outcome::Finished : ManagerScan::Outcome::Unfinished, manager, probed,
                       {}};
}

}  // namespace

ManagerScan scanThroughManager(const std::string& netdev, const std::optional<std::string>& probeName,
                               std::chrono::milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    std::string why;
    auto bus = SystemBus::open(why);
    if (!bus) return ManagerScan{ManagerScan::Outcome::Refused, {}, false, why};
    // A name an SSID cannot hold is not probed for (it cannot match anyway).
    std::optional<std::string> probe;
    if (probeName && !probeName->empty() && probeName->size() <= kMaxSsidLength) probe = probeName;

    std::string networkManagerWhy, iwdWhy;
    if (auto ended = scanByNetworkManager(*bus, netdev, probe, deadline, networkManagerWhy)) {
        return scanned("NetworkManager", *ended, probe.has_value());
    }
    if (auto ended = scanByIwd(*bus, netdev, deadline, iwdWhy)) return scanned("iwd", *ended, false);
    return ManagerScan{ManagerScan::Outcome::Refused, {}, false,
                       "NetworkManager: " + networkManagerWhy + "; iwd: " + iwdWhy};
}

}  // namespace netmoth::netmanager
