#include "platform/linux/Nl80211Interface.h"

#include <linux/nl80211.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/Utf8.h"
#include "platform/ieee80211/ElementDecoder.h"
#include "platform/linux/KernelNotes.h"
#include "platform/linux/ScanPlan.h"
#include "platform/linux/ScanResults.h"

namespace netmoth::linux_backend {
namespace {

// A scan on an associated station can take over 20 s (it returns to its
// channel between probes).
constexpr std::chrono::milliseconds kScanTimeout{45'000};

bool isAssociated(const BssEntry& entry) {
    return entry.status == NL80211_BSS_STATUS_ASSOCIATED || entry.status == NL80211_BSS_STATUS_IBSS_JOINED;
}

// Only a client's station list holds its AP; an AP's or mesh point's lists its peers.
bool isClientOfAnAp(const std::optional<std::uint32_t>& type) {
    return type == NL80211_IFTYPE_STATION || type == NL80211_IFTYPE_P2P_CLIENT;
}

// Asked only to explain a missing answer, never on the way to a good one.
bool isDown(const std::string& name) {
    ifreq request{};
    if (name.size() >= sizeof request.ifr_name) return false;
    name.copy(request.ifr_name, name.size());
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return false;
    const bool down = ioctl(probe, SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_UP) == 0;
    close(probe);
    return down;
}

// The installed binary's path, for the setcap advice.
std::string selfPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return "/path/to/netmoth-companion";
    return std::string(path, static_cast<std::size_t>(length));
}

template <class Parser>
auto parsedOrEmpty(const std::optional<std::vector<platform::Bytes>>& replies, Parser parse) {
    return parseEach(replies.value_or(std::vector<platform::Bytes>{}), parse);
}

}  // namespace

Nl80211Interface::Nl80211Interface(Nl80211Link& link, InterfaceInfo info, platform::Diagnostics& diagnostics)
    : link_(link), info_(std::move(info)), diagnostics_(diagnostics) {}

std::optional<std::string> Nl80211Interface::interfaceName() const {
    // A netdev name may be any bytes but '/' and white space; reports need text.
    if (!info_.name) return std::nullopt;
    return platform::decodeUtf8Lossy(*info_.name);
}

std::optional<std::string> Nl80211Interface::ssid() const {
    if (info_.ssid) return ieee80211::ssidText(*info_.ssid);
    // A station that is down cannot be joined; say so rather than leave a
    // person wondering why it has no network.
    if (isClientOfAnAp(info_.type) && info_.name && isDown(*info_.name)) {
        diagnostics_.note(notes::interfaceDown(shownName()));
    }
    return std::nullopt;
}

std::optional<std::string> Nl80211Interface::bssid() const {
    return bssid_.get([this] { return findBssid(); });
}

std::int64_t Nl80211Interface::rssiValue() const {
    auto ap = bssid();
    if (!ap) return 0;
    const auto& known = stations();
    auto station = std::find_if(known.begin(), known.end(), [&](const StationInfo& entry) { return entry.mac == *ap; });
    if (station == known.end() || !station->signalDbm) return 0;
    return *station->signalDbm;
}

std::optional<platform::NetworkList> Nl80211Interface::scanForNetworks(const std::optional<std::string>& name,
                                                                       bool includeHidden) {
    auto watch = link_.watchScans();
    if (!watch) {
        diagnostics_.note(notes::scanUnwatchable(shownName()));
        return std::nullopt;
    }
    const std::optional<int> triggerError = link_.triggerScan(info_.device, probeSsidsFor(name));
    if (std::string note = notes::afterTrigger(shownName(), triggerError, selfPath()); !note.empty()) {
        diagnostics_.note(std::move(note));
    }
    switch (afterTrigger(triggerError)) {
        case AfterTrigger::Fail:
            return std::nullopt;
        case AfterTrigger::AwaitScanEnd:
            // On a timeout the cache still holds whatever the scan found so far.
            if (!watch->awaitScanEnd(info_.device, kScanTimeout)) {
                diagnostics_.note(
                    notes::scanTimedOut(shownName(), std::chrono::duration_cast<std::chrono::seconds>(kScanTimeout)));
            }
            break;
        case AfterTrigger::ReadCache:
            break;
    }
    auto replies = link_.dumpScanResults(info_.device);
    if (!replies) {
        diagnostics_.note(notes::scanResultsUnreadable(shownName()));
        return std::nullopt;
    }
    return networksFrom(parseEach(*replies, parseBss), name, includeHidden);
}

std::string Nl80211Interface::shownName() const { return interfaceName().value_or("the Wi-Fi interface"); }

std::optional<std::string> Nl80211Interface::findBssid() const {
    const auto& bsses = knownBsses();
    auto joined = std::find_if(bsses.begin(), bsses.end(), isAssociated);
    if (joined != bsses.end()) return joined->bssid;
    if (isClientOfAnAp(info_.type) && !stations().empty()) return stations().front().mac;
    return std::nullopt;
}

const std::vector<BssEntry>& Nl80211Interface::knownBsses() const {
    return knownBsses_.get([this] { return parsedOrEmpty(link_.dumpScanResults(info_.device), parseBss); });
}

const std::vector<StationInfo>& Nl80211Interface::stations() const {
    return stations_.get([this] { return parsedOrEmpty(link_.dumpStations(info_.device), parseStation); });
}

}  // namespace netmoth::linux_backend
