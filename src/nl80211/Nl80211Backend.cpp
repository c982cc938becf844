#include "nl80211/Nl80211Backend.h"

#include <linux/nl80211.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <utility>

#include "ieee80211/Bss.h"
#include "nl80211/KernelNotes.h"
#include "util/Utf8.h"

namespace netmoth::nl80211 {
namespace {

// A scan on an associated station can take over 20 s (it returns to its
// channel between probes).
constexpr std::chrono::milliseconds kScanTimeout{45'000};
constexpr std::size_t kMaxSsidLength = 32;
constexpr std::int32_t kMbmPerDbm = 100;

// Only a client's station list holds its AP; an AP's or mesh point's lists its peers.
bool isClientOfAnAp(const std::optional<std::uint32_t>& type) {
    return type == NL80211_IFTYPE_STATION || type == NL80211_IFTYPE_P2P_CLIENT;
}

bool isAssociated(const BssEntry& entry) {
    return entry.status == NL80211_BSS_STATUS_ASSOCIATED || entry.status == NL80211_BSS_STATUS_IBSS_JOINED;
}

// Netdevs by interface index, then the devices that have none, as listed.
bool comesBefore(const InterfaceInfo& a, const InterfaceInfo& b) {
    return std::pair(!a.device.ifindex, a.device.ifindex.value_or(0)) <
           std::pair(!b.device.ifindex, b.device.ifindex.value_or(0));
}

// A netdev name may be any bytes but '/' and white space; answers need text.
std::optional<std::string> nameOf(const InterfaceInfo& info) {
    if (!info.name) return std::nullopt;
    return util::decodeUtf8Lossy(*info.name);
}

// The name as the lines on standard error show it.
std::string shownName(const InterfaceInfo& info) { return nameOf(info).value_or("the Wi-Fi interface"); }

// The installed binary's path, for the setcap advice.
std::string selfPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return "/path/to/netmoth-companion";
    return std::string(path, static_cast<std::size_t>(length));
}

enum class AfterTrigger {
    AwaitScanEnd,  // our scan, or one already running, will end with an event
    AskManager,    // not ours to trigger: the network manager may scan for us
    ReadCache,     // no scan of ours: the kernel's earlier results are all there is
    Fail,          // the device cannot be reached
};

struct TriggerAnswer {
    AfterTrigger next;
    std::string note;  // the line for standard error; empty when none
};

// error: the kernel's errno for the trigger (0: started); nullopt: netlink failed.
TriggerAnswer afterTrigger(const std::string& interface, std::optional<int> error) {
    if (!error) return {AfterTrigger::Fail, notes::scanUnanswered(interface)};
    switch (*error) {
        case 0:
        case EBUSY:
            return {AfterTrigger::AwaitScanEnd, {}};
        case ENODEV:
            return {AfterTrigger::Fail, notes::deviceGone(interface)};
        case ENETDOWN:
            return {AfterTrigger::Fail, notes::interfaceDown(interface)};
        case EPERM:
        case EACCES:
            return {AfterTrigger::AskManager, {}};  // an ordinary user: the manager's answer has the say
        default:
            // EOPNOTSUPP (the driver) and anything else the kernel refuses
            // still leave its cached results.
            return {AfterTrigger::ReadCache, notes::scanRefused(interface, *error)};
    }
}

bool fitsAnSsid(const std::optional<std::string>& name) {
    return name && !name->empty() && name->size() <= kMaxSsidLength;
}

// Always the wildcard, so the scan is active, and the name too when it fits
// an SSID, so a hidden network answers to it.
std::vector<wifi::Bytes> probeSsidsFor(const std::optional<std::string>& name) {
    std::vector<wifi::Bytes> ssids;
    if (fitsAnSsid(name)) ssids.emplace_back(name->begin(), name->end());
    ssids.emplace_back();
    return ssids;
}

bool isNamed(const wifi::Network& network) { return network.ssid && !network.ssid->empty(); }

// After a probe for a hidden network the kernel lists its BSS twice: the
// beacon's entry without the name and the probe response's with it, in
// either order. One network per BSS, named when the radio learned the name,
// where the BSS was first listed.
std::vector<wifi::Network> onePerBss(std::vector<wifi::Network> listed) {
    std::vector<wifi::Network> networks;
    std::unordered_map<std::string, std::size_t> byBssid;
    for (auto& network : listed) {
        if (!network.bssid) {
            networks.push_back(std::move(network));
            continue;
        }
        const auto [seen, first] = byBssid.try_emplace(*network.bssid, networks.size());
        if (first) {
            networks.push_back(std::move(network));
        } else if (!isNamed(networks[seen->second]) && isNamed(network)) {
            networks[seen->second] = std::move(network);
        }
    }
    return networks;
}

wifi::Network networkOf(const BssEntry& entry) {
    ieee80211::RadioFacts facts;  // no SSID: it comes from the elements
    facts.bssid = entry.bssid;
    // Truncates toward zero, as iw's "-47.12 dBm" reads -47. A driver giving
    // only an unscaled 0..100 quality leaves the signal unknown (0).
    if (entry.signalMbm) facts.signalDbm = *entry.signalMbm / kMbmPerDbm;
    facts.frequencyMHz = entry.frequencyMHz;
    facts.capability = entry.capability.value_or(0);
    // The latest elements (probe response) first; a BSS only heard by its
    // beacon may carry the beacon's alone.
    facts.elements = entry.elements ? entry.elements : entry.beaconElements;
    return ieee80211::networkFrom(facts);
}

class Nl80211Backend final : public wifi::Backend {
public:
    Nl80211Backend(OpenLink openLink, ScanByManager scanByManager, util::Diagnostics& diagnostics)
        : openLink_(std::move(openLink)), scanByManager_(std::move(scanByManager)), diagnostics_(diagnostics) {}

    std::optional<wifi::Interface> defaultInterface() override {
        Device* device = defaultDevice();
        if (device == nullptr) return std::nullopt;
        return valueOf(*device);
    }

    std::optional<std::vector<wifi::Interface>> interfaces() override {
        auto* devices = loaded();
        if (devices == nullptr) return std::nullopt;
        std::vector<wifi::Interface> values;
        for (auto& device : *devices) values.push_back(valueOf(device));
        return values;
    }

    std::optional<std::vector<wifi::Network>> scan(const std::optional<std::string>& name) override {
        const Device* device = defaultDevice();
        if (device == nullptr) return std::nullopt;
        const InterfaceInfo& info = device->info;
        if (!awaitFreshResults(info, name)) return std::nullopt;
        auto replies = link_->dumpScanResults(info.device);
        if (!replies) {
            diagnostics_.note(notes::scanResultsUnreadable(shownName(info)));
            return std::nullopt;
        }
        std::vector<wifi::Network> listed;
        for (const auto& entry : parseEach(replies, parseBss)) listed.push_back(networkOf(entry));
        auto networks = onePerBss(std::move(listed));
        if (name) std::erase_if(networks, [&](const wifi::Network& network) { return network.ssid != name; });
        return networks;
    }

    // Nothing on Linux withholds Wi-Fi facts from a program.
    std::optional<wifi::Permission> permission() override { return wifi::Permission::Authorized; }

private:
    struct Device {
        InterfaceInfo info;
        std::optional<wifi::Interface> value;  // described when first asked
    };

    // The devices in the order answers list them; nullptr without nl80211.
    std::vector<Device>* loaded() {
        if (!linkAsked_) devices_ = load();
        linkAsked_ = true;
        return devices_ ? &*devices_ : nullptr;
    }

    std::optional<std::vector<Device>> load() {
        link_ = openLink_();
        if (!link_) {
            diagnostics_.note(notes::noNl80211());
            return std::nullopt;
        }
        auto replies = link_->dumpInterfaces();
        if (!replies) {
            diagnostics_.note(notes::interfacesUnreadable());
            return std::nullopt;
        }
        auto infos = parseEach(replies, parseInterface);
        if (infos.empty()) diagnostics_.note(notes::noInterfaces());
        std::stable_sort(infos.begin(), infos.end(), comesBefore);
        std::vector<Device> devices;
        for (auto& info : infos) devices.push_back(Device{std::move(info), std::nullopt});
        return devices;
    }

    // The first station-mode interface in interface-index order.
    Device* defaultDevice() {
        auto* devices = loaded();
        if (devices == nullptr) return nullptr;
        auto station = std::find_if(devices->begin(), devices->end(),
                                    [](const Device& device) { return device.info.type == NL80211_IFTYPE_STATION; });
        if (station != devices->end()) return &*station;
        if (!devices->empty()) diagnostics_.note(notes::noStation());
        return nullptr;
    }

    const wifi::Interface& valueOf(Device& device) {
        if (!device.value) device.value = describe(device.info);
        return *device.value;
    }

    wifi::Interface describe(const InterfaceInfo& info) {
        wifi::Interface value{nameOf(info), std::nullopt, std::nullopt, 0};
        const bool client = isClientOfAnAp(info.type);
        if (info.ssid) {
            value.ssid = ieee80211::ssidText(*info.ssid);
        } else if (client && info.name && link_->isDown(*info.name)) {
            // A station that is down cannot be joined; say so rather than
            // leave a person wondering why it has no network.
            diagnostics_.note(notes::interfaceDown(shownName(info)));
        }
        // A device without a netdev (P2P) joins no network itself.
        if (!info.device.ifindex) return value;
        const auto bsses = parseEach(link_->dumpScanResults(info.device), parseBss);
        if (auto joined = std::find_if(bsses.begin(), bsses.end(), isAssociated); joined != bsses.end()) {
            value.bssid = joined->bssid;
        }
        if (!client) return value;
        // A client's station list holds its AP: the BSSID when the scan cache
        // has lost it, and the signal either way.
        const auto stations = parseEach(link_->dumpStations(info.device), parseStation);
        if (!value.bssid && !stations.empty()) value.bssid = stations.front().mac;
        auto ap = std::find_if(stations.begin(), stations.end(),
                               [&](const StationInfo& station) { return station.mac == value.bssid; });
        if (ap != stations.end() && ap->signalDbm) value.rssi = *ap->signalDbm;
        return value;
    }

    // Triggers a scan and waits for it as its answer allows; false when the
    // scan failed and not even cached results can be read.
    bool awaitFreshResults(const InterfaceInfo& info, const std::optional<std::string>& name) {
        // Subscribed before the trigger, so that the scan's end cannot be missed.
        auto watch = link_->watchScans();
        if (!watch) {
            diagnostics_.note(notes::scanUnwatchable(shownName(info)));
            return false;
        }
        auto [next, note] = afterTrigger(shownName(info), link_->triggerScan(info.device, probeSsidsFor(name)));
        if (!note.empty()) diagnostics_.note(std::move(note));
        switch (next) {
            case AfterTrigger::Fail:
                return false;
            case AfterTrigger::AwaitScanEnd:
                // On a timeout the cache still holds whatever the scan found so far.
                if (!watch->awaitScanEnd(info.device, kScanTimeout)) {
                    diagnostics_.note(notes::scanTimedOut(
                        shownName(info), std::chrono::duration_cast<std::chrono::seconds>(kScanTimeout)));
                }
                return true;
            case AfterTrigger::AskManager:
                askManager(info, name);
                return true;
            case AfterTrigger::ReadCache:
                return true;
        }
        return false;
    }

    // The kernel's results after the network manager's scan, or its cache
    // with the reason why no manager scanned.
    void askManager(const InterfaceInfo& info, const std::optional<std::string>& name) {
        const auto scan = scanByManager_(nameOf(info).value_or(""), name, kScanTimeout);
        switch (scan.outcome) {
            case netmanager::ManagerScan::Outcome::Finished:
                if (fitsAnSsid(name) && !scan.probed) diagnostics_.note(notes::notProbed(scan.manager, *name));
                return;
            case netmanager::ManagerScan::Outcome::Unfinished:
                diagnostics_.note(notes::scanTimedOut(
                    shownName(info), std::chrono::duration_cast<std::chrono::seconds>(kScanTimeout), scan.manager));
                return;
            case netmanager::ManagerScan::Outcome::Refused:
                diagnostics_.note(notes::noScanAllowed(scan.refusals, selfPath()));
                return;
        }
    }

    OpenLink openLink_;
    ScanByManager scanByManager_;
    util::Diagnostics& diagnostics_;
    std::unique_ptr<KernelLink> link_;
    bool linkAsked_ = false;
    std::optional<std::vector<Device>> devices_;
};

}  // namespace

std::unique_ptr<wifi::Backend> makeNl80211Backend(util::Diagnostics& diagnostics) {
    return makeNl80211Backend(&openKernelLink, &netmanager::scanThroughManager, diagnostics);
}

std::unique_ptr<wifi::Backend> makeNl80211Backend(OpenLink openLink, ScanByManager scanByManager,
                                                  util::Diagnostics& diagnostics) {
    return std::make_unique<Nl80211Backend>(std::move(openLink), std::move(scanByManager), diagnostics);
}

}  // namespace netmoth::nl80211
