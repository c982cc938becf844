#pragma once
// Stable labels for networks without a name: "Hidden SSID <n>", with n kept per
// BSSID in the per-user store so a network keeps its label across launches.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "store/NumberStore.h"

namespace netmoth::report {

struct HiddenSsidIndex {
    std::unordered_map<std::string, std::int64_t> numberByBssid;
    // The next number to hand out while counting upward still works.
    std::int64_t nextNumber = 0;
    // Set once INT64_MAX is held, so max + 1 cannot be formed. From then on a
    // new BSSID gets the smallest non-negative number no entry holds. That
    // number never exceeds the entry count, so it cannot overflow, and only
    // grows, so the search resumes where it stopped and the whole run stays
    // linear. usedNumbers holds the numbers held when this mode began (and
    // stays empty until then); those handed out later lie below
    // smallestUnusedCandidate.
    bool counterExhausted = false;
    std::unordered_set<std::int64_t> usedNumbers;
    std::int64_t smallestUnusedCandidate = 0;
    // Whether any BSSID was numbered since loading.
    bool changed = false;
};

// The next number is the largest kept one plus 1, or 0 when none is kept.
HiddenSsidIndex loadHiddenSsidIndex(const store::HiddenNumbers& kept);

// The BSSID's number, handing out a new one when it has none yet.
std::int64_t hiddenSsidNumber(HiddenSsidIndex& index, const std::string& bssid);

// "Hidden SSID " followed by hiddenSsidNumber in plain decimal.
std::string hiddenSsidLabel(HiddenSsidIndex& index, const std::string& bssid);

// Saves the whole table, only when something changed.
void saveHiddenSsidIndex(const HiddenSsidIndex& index, store::NumbersLease& lease);

}  // namespace netmoth::report
