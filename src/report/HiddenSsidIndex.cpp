#include "report/HiddenSsidIndex.h"

#include <limits>
#include <optional>

namespace netmoth::report {
namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

void startFillingGaps(HiddenSsidIndex& index) {
    index.counterExhausted = true;
    index.usedNumbers.reserve(index.numberByBssid.size());
    for (const auto& [bssid, number] : index.numberByBssid) index.usedNumbers.insert(number);
}

// Numbers handed out here all lie below the candidate, which never moves
// back, so they need no entry in usedNumbers.
std::int64_t takeSmallestUnused(HiddenSsidIndex& index) {
    while (index.usedNumbers.contains(index.smallestUnusedCandidate)) ++index.smallestUnusedCandidate;
    return index.smallestUnusedCandidate++;
}

std::int64_t takeNextNumber(HiddenSsidIndex& index) {
    if (index.counterExhausted) return takeSmallestUnused(index);
    std::int64_t number = index.nextNumber;
    // INT64_MAX itself is never a gap candidate, so the set need not hold it.
    if (number == kLargest) {
        startFillingGaps(index);
    } else {
        index.nextNumber = number + 1;
    }
    return number;
}

}  // namespace

HiddenSsidIndex loadHiddenSsidIndex(const store::HiddenNumbers& kept) {
    HiddenSsidIndex index;
    std::optional<std::int64_t> largest;
    index.numberByBssid.reserve(kept.size());
    for (const auto& [bssid, number] : kept) {
        index.numberByBssid.emplace(bssid, number);
        if (!largest || number > *largest) largest = number;
    }
    if (!largest) return index;
    if (*largest == kLargest) {
        startFillingGaps(index);
    } else {
        index.nextNumber = *largest + 1;
    }
    return index;
}

std::int64_t hiddenSsidNumber(HiddenSsidIndex& index, const std::string& bssid) {
    if (auto found = index.numberByBssid.find(bssid); found != index.numberByBssid.end()) {
        return found->second;
    }
    std::int64_t number = takeNextNumber(index);
    index.numberByBssid.emplace(bssid, number);
    index.changed = true;
    return number;
}

std::string hiddenSsidLabel(HiddenSsidIndex& index, const std::string& bssid) {
    return "Hidden SSID " + std::to_string(hiddenSsidNumber(index, bssid));
}

void saveHiddenSsidIndex(const HiddenSsidIndex& index, store::NumbersLease& lease) {
    if (!index.changed) return;
    lease.save(store::HiddenNumbers(index.numberByBssid.begin(), index.numberByBssid.end()));
}

}  // namespace netmoth::report
