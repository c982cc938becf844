#include "report/HiddenSsidIndex.h"

#include <cmath>
#include <limits>
#include <optional>

namespace netmoth::report {
namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

std::optional<std::int64_t> storedInteger(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(kLargest)) return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (!value.is_number_float()) return std::nullopt;
    double number = value.get<double>();
    // -2^63 and 2^63 are exact doubles; the range is [-2^63, 2^63).
    constexpr double kLimit = 9223372036854775808.0;
    if (!(number >= -kLimit && number < kLimit) || std::trunc(number) != number) return std::nullopt;
    return static_cast<std::int64_t>(number);
}

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

HiddenSsidIndex loadHiddenSsidIndex(const nlohmann::json* stored) {
    HiddenSsidIndex index;
    if (stored == nullptr || !stored->is_object()) return index;
    std::optional<std::int64_t> largest;
    index.numberByBssid.reserve(stored->size());
    for (const auto& [bssid, value] : stored->items()) {
        std::optional<std::int64_t> number = storedInteger(value);
        if (!number) continue;
        index.numberByBssid.emplace(bssid, *number);
        if (!largest || *number > *largest) largest = number;
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

void saveHiddenSsidIndex(const HiddenSsidIndex& index, store::DefaultsLease& lease) {
    if (!index.changed) return;
    nlohmann::json table = nlohmann::json::object();
    for (const auto& [bssid, number] : index.numberByBssid) table[bssid] = number;
    lease.setObject(kHiddenSsidIndexKey, std::move(table));
}

}  // namespace netmoth::report
