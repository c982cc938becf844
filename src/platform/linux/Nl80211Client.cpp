#include "platform/linux/Nl80211Client.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <utility>

#include "platform/linux/KernelNotes.h"

namespace netmoth::linux_backend {
namespace {

// Netdevs by interface index, then the devices that have none.
std::pair<bool, std::uint32_t> orderOf(const InterfaceInfo& info) {
    return {!info.device.ifindex, info.device.ifindex.value_or(0)};
}

bool comesBefore(const InterfaceInfo& a, const InterfaceInfo& b) { return orderOf(a) < orderOf(b); }

}  // namespace

Nl80211Client::Nl80211Client(Connect connect, platform::Diagnostics& diagnostics)
    : connect_(std::move(connect)), diagnostics_(diagnostics) {}

platform::WiFiInterface* Nl80211Client::interface() {
    const auto& list = loaded();
    if (!list) return nullptr;
    auto station = std::find_if(list->begin(), list->end(),
                                [](const auto& candidate) { return candidate->info().type == NL80211_IFTYPE_STATION; });
    if (station == list->end()) {
        if (!list->empty()) diagnostics_.note(notes::noStation());
        return nullptr;
    }
    return station->get();
}

std::optional<std::vector<platform::WiFiInterface*>> Nl80211Client::interfaces() {
    const auto& list = loaded();
    if (!list) return std::nullopt;
    std::vector<platform::WiFiInterface*> views;
    for (const auto& entry : *list) views.push_back(entry.get());
    return views;
}

const std::optional<Nl80211Client::InterfaceList>& Nl80211Client::loaded() {
    return interfaces_.get([this] { return load(); });
}

std::optional<Nl80211Client::InterfaceList> Nl80211Client::load() {
    link_ = connect_();
    if (!link_) {
        diagnostics_.note(notes::noNl80211());
        return std::nullopt;
    }
    auto replies = link_->dumpInterfaces();
    if (!replies) {
        diagnostics_.note(notes::interfacesUnreadable());
        return std::nullopt;
    }
    auto infos = parseEach(*replies, parseInterface);
    if (infos.empty()) diagnostics_.note(notes::noInterfaces());
    std::stable_sort(infos.begin(), infos.end(), comesBefore);
    InterfaceList list;
    for (auto& info : infos) list.push_back(std::make_unique<Nl80211Interface>(*link_, std::move(info), diagnostics_));
    return list;
}

}  // namespace netmoth::linux_backend
