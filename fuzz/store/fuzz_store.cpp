// Arbitrary bytes as the store file: the document splits into members that a
// save writes back to the same document; as the hidden-network table, known
// BSSIDs keep their numbers, new ones get numbers nobody holds, and a save
// reloads unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "platform/posix/MemoryUserDefaults.h"
#include "platform/posix/StoreDocument.h"
#include "reports/HiddenSsidIndex.h"

namespace reports = netmoth::reports;

static void require(bool property) {
    if (!property) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace posix = netmoth::platform::posix;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<posix::StoreDocument> document = posix::parseStoreDocument(text);
    if (document) {
        require(document->object.size() == document->members.size());
        const auto rewritten = posix::parseStoreDocument(document->serialise());
        require(rewritten && rewritten->object == document->object);
        require(rewritten->serialise() == document->serialise());
    }
    const nlohmann::json stored = document ? document->object : nlohmann::json();
    reports::HiddenSsidIndex index = reports::loadHiddenSsidIndex(&stored);
    netmoth::platform::posix::MemoryUserDefaults defaults;
    auto lease = defaults.acquire();
    reports::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 0);

    std::unordered_set<std::int64_t> held;
    for (const auto& [bssid, number] : index.numberByBssid) {
        held.insert(number);
        require(reports::hiddenSsidNumber(index, bssid) == number);
    }
    require(!index.changed);
    for (int serial = 0; serial < 4; ++serial) {
        std::string bssid = "new-" + std::to_string(serial);
        while (index.numberByBssid.contains(bssid)) bssid += '+';
        require(held.insert(reports::hiddenSsidNumber(index, bssid)).second);
    }

    reports::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 1);
    const auto reloaded = reports::loadHiddenSsidIndex(lease->objectForKey(reports::kHiddenSsidIndexKey));
    require(reloaded.numberByBssid == index.numberByBssid);
    return 0;
}
