// Arbitrary bytes as the stored hidden-network table: whatever was kept, new
// BSSIDs must get numbers nobody holds, and a save must reload unchanged.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "platform/posix/MemoryUserDefaults.h"
#include "reports/HiddenSsidIndex.h"

namespace {

using netmoth::reports::HiddenSsidIndex;
namespace reports = netmoth::reports;

void require(bool property) {
    if (!property) std::abort();
}

// A name the table does not hold yet.
std::string freshBssid(const HiddenSsidIndex& index, int serial) {
    std::string name = "new-" + std::to_string(serial);
    while (index.numberByBssid.contains(name)) name += '+';
    return name;
}

// Known BSSIDs keep their numbers; new ones get numbers no one else holds.
void numberKnownAndFresh(HiddenSsidIndex& index) {
    std::unordered_set<std::int64_t> held;
    for (const auto& [bssid, number] : index.numberByBssid) {
        held.insert(number);
        require(reports::hiddenSsidNumber(index, bssid) == number);
    }
    require(!index.changed);
    for (int serial = 0; serial < 4; ++serial) {
        std::string bssid = freshBssid(index, serial);
        std::int64_t number = reports::hiddenSsidNumber(index, bssid);
        require(held.insert(number).second);
        require(reports::hiddenSsidLabel(index, bssid) == "Hidden SSID " + std::to_string(number));
    }
    require(index.changed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto stored = nlohmann::json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
    HiddenSsidIndex index = reports::loadHiddenSsidIndex(&stored);

    netmoth::platform::posix::MemoryUserDefaults defaults;
    auto lease = defaults.acquire();
    reports::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 0);

    numberKnownAndFresh(index);
    reports::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 1);
    HiddenSsidIndex reloaded = reports::loadHiddenSsidIndex(lease->objectForKey(reports::kHiddenSsidIndexKey));
    require(reloaded.numberByBssid == index.numberByBssid);
    return 0;
}
