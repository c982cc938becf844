#pragma once
// The per-user store of hidden-network numbers: BSSID text to the number of its
// "Hidden SSID N" label, kept from one launch to the next.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace netmoth::store {

using HiddenNumbers = std::vector<std::pair<std::string, std::int64_t>>;

// Exclusive use of the numbers for as long as it lives: no other launch reads
// or saves between this lease's read and its save.
class NumbersLease {
public:
    virtual ~NumbersLease() = default;
    // The numbers kept so far, in no particular order: only entries holding an
    // integer that a 64-bit signed number holds exactly.
    virtual const HiddenNumbers& numbers() const = 0;
    // Replaces the kept numbers with these (entries numbers() left out go too);
    // what cannot be saved is noted for standard error, never thrown.
    virtual void save(HiddenNumbers numbers) = 0;
};

class NumberStore {
public:
    virtual ~NumberStore() = default;
    // Waits, bounded, for another launch's lease. Never fails: a store that
    // cannot be used gives a lease that reads nothing and saves nowhere.
    virtual std::unique_ptr<NumbersLease> lease() = 0;
};

}  // namespace netmoth::store
