// Arbitrary bytes as the store file: a parsed document saves back to itself;
// as the hidden-network table, known BSSIDs keep their numbers, new ones get
// numbers nobody holds, and a save reloads unchanged.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "FuzzCheck.h"
#include "report/HiddenSsidIndex.h"
#include "store/StoreDocument.h"
#include "support/Doubles.h"

using namespace netmoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto document = store::parseStoreDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    if (document) {
        const auto rewritten = store::parseStoreDocument(document->serialise());
        require(document->object.size() == document->members.size() && rewritten &&
                rewritten->object == document->object && rewritten->serialise() == document->serialise());
    }
    testing::MemoryNumberStore numbers;
    if (document) numbers.kept = document->hiddenNumbers();
    const auto lease = numbers.lease();
    report::HiddenSsidIndex index = report::loadHiddenSsidIndex(lease->numbers());
    std::unordered_set<std::int64_t> held;
    for (const auto& [bssid, number] : index.numberByBssid) {
        held.insert(number);
        require(report::hiddenSsidNumber(index, bssid) == number);
    }
    report::saveHiddenSsidIndex(index, *lease);
    require(!index.changed && numbers.saves == 0);
    for (std::string bssid = "new"; bssid.size() < 7; bssid += '+') {
        if (!index.numberByBssid.contains(bssid)) require(held.insert(report::hiddenSsidNumber(index, bssid)).second);
    }
    report::saveHiddenSsidIndex(index, *lease);
    require(numbers.saves == 1);
    if (!document) return 0;
    store::StoreDocument saved = std::move(*store::parseStoreDocument(document->serialise()));  // saved, reads back
    saved.setHiddenNumbers(numbers.kept);
    const auto reread = store::parseStoreDocument(saved.serialise())->hiddenNumbers();
    require(report::loadHiddenSsidIndex(reread).numberByBssid == index.numberByBssid);
    return 0;
}
