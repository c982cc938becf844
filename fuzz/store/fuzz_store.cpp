// Arbitrary bytes as the store file: the document splits into members that a
// save writes back to the same document; as the hidden-network table, known
// BSSIDs keep their numbers, new ones get numbers nobody holds, and a save
// reloads unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "support/MemoryUserDefaults.h"
#include "store/StoreDocument.h"
#include "report/HiddenSsidIndex.h"

namespace reports = netmoth::reports;

static void require(bool property) {
    if (!property) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace posix = netmoth::store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<posix::StoreDocument> document = posix::parseStoreDocument(text);
    if (document) {
        require(document->object.size() == document->members.size());
        const auto rewritten = posix::parseStoreDocument(document->serialise());
        require(rewritten && rewritten->object == document->object);
        require(rewritten->serialise() == document->serialise());
    }
    const nlohmann::json stored = document ? document->object : nlohmann::json();
    report::HiddenSsidIndex index = report::loadHiddenSsidIndex(&stored);
    netmoth::store::MemoryUserDefaults defaults;
    auto lease = defaults.acquire();
    report::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 0);

    std::unordered_set<std::int64_t> held;
    for (const auto& [bssid, number] : index.numberByBssid) {
        held.insert(number);
        require(report::hiddenSsidNumber(index, bssid) == number);
    }
    require(!index.changed);
    for (int serial = 0; serial < 4; ++serial) {
        std::string bssid = "new-" + std::to_string(serial);
        while (index.numberByBssid.contains(bssid)) bssid += '+';
        require(held.insert(report::hiddenSsidNumber(index, bssid)).second);
    }

    report::saveHiddenSsidIndex(index, *lease);
    require(defaults.writeCount() == 1);
    const auto reloaded = report::loadHiddenSsidIndex(lease->objectForKey(report::kHiddenSsidIndexKey));
    require(reloaded.numberByBssid == index.numberByBssid);
    return 0;
}
