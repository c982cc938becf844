// Arbitrary bytes as the store file: the document splits into members that a
// save writes back to the same document; as the hidden-network table, known
// BSSIDs keep their numbers, new ones get numbers nobody holds, and a save
// reloads unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "report/HiddenSsidIndex.h"
#include "store/StoreDocument.h"
#include "support/MemoryNumberStore.h"

namespace report = netmoth::report;

static void require(bool property) {
    if (!property) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace store = netmoth::store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<store::StoreDocument> document = store::parseStoreDocument(text);
    if (document) {
        require(document->object.size() == document->members.size());
        const auto rewritten = store::parseStoreDocument(document->serialise());
        require(rewritten && rewritten->object == document->object);
        require(rewritten->serialise() == document->serialise());
    }
    netmoth::testing::MemoryNumberStore numbers;
    if (document) numbers.kept = document->hiddenNumbers();
    auto lease = numbers.lease();
    report::HiddenSsidIndex index = report::loadHiddenSsidIndex(lease->numbers());
    report::saveHiddenSsidIndex(index, *lease);
    require(numbers.saves == 0);

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
    require(numbers.saves == 1);
    if (document) {
        // What is saved reads back as the same numbers.
        store::StoreDocument saved = store::parseStoreDocument(document->serialise()).value();
        saved.setHiddenNumbers(numbers.kept);
        const auto reloaded = report::loadHiddenSsidIndex(store::parseStoreDocument(saved.serialise())->hiddenNumbers());
        require(reloaded.numberByBssid == index.numberByBssid);
    }
    return 0;
}
