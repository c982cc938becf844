#pragma once
// Hidden-network numbers kept in memory, with a count of saves.

#include "store/NumberStore.h"

namespace netmoth::testing {

class MemoryNumberStore final : public store::NumberStore {
public:
    store::HiddenNumbers kept;
    int saves = 0;

    std::unique_ptr<store::NumbersLease> lease() override { return std::make_unique<Lease>(*this); }

private:
    class Lease final : public store::NumbersLease {
    public:
        explicit Lease(MemoryNumberStore& store) : store_(store) {}
        const store::HiddenNumbers& numbers() const override { return store_.kept; }
        void save(store::HiddenNumbers numbers) override {
            store_.kept = std::move(numbers);
            ++store_.saves;
        }

    private:
        MemoryNumberStore& store_;
    };
};

}  // namespace netmoth::testing
