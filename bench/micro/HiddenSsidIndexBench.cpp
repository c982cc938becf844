// Numbering one hidden BSSID against a store that already holds 10,000.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "report/HiddenSsidIndex.h"

namespace {

constexpr int kStoredEntries = 10'000;
// New BSSIDs are numbered in batches, each against a fresh copy of the table,
// so the table stays near 10,000 entries however long the benchmark runs.
constexpr int kBatch = 1'000;

std::string bssidOf(int index) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", (index >> 16) & 0xff, (index >> 8) & 0xff,
                  index & 0xff);
    return text;
}

netmoth::report::HiddenSsidIndex storedIndex() {
    netmoth::store::HiddenNumbers stored;
    for (int i = 0; i < kStoredEntries; ++i) stored.emplace_back(bssidOf(i), i);
    return netmoth::report::loadHiddenSsidIndex(stored);
}

void BM_HiddenSsidLabelKnown(benchmark::State& state) {
    netmoth::report::HiddenSsidIndex index = storedIndex();
    const std::string bssid = bssidOf(kStoredEntries / 2);
    for (auto _ : state) benchmark::DoNotOptimize(netmoth::report::hiddenSsidLabel(index, bssid));
}

void BM_HiddenSsidLabelNew(benchmark::State& state) {
    const netmoth::report::HiddenSsidIndex stored = storedIndex();
    std::vector<std::string> fresh;
    for (int i = 0; i < kBatch; ++i) fresh.push_back(bssidOf(kStoredEntries + i));
    netmoth::report::HiddenSsidIndex index = stored;
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == fresh.size()) {
            state.PauseTiming();
            index = stored;
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(netmoth::report::hiddenSsidLabel(index, fresh[next++]));
    }
}

}  // namespace

BENCHMARK(BM_HiddenSsidLabelKnown);
BENCHMARK(BM_HiddenSsidLabelNew);
