// What the decoder costs per BSS on a radio-level scan: the three questions
// asked of every beacon, each walking the element list on its own.

#include <benchmark/benchmark.h>

#include "platform/ieee80211/ElementDecoder.h"
#include "support/RealisticElements.h"

namespace {

using netmoth::bench::Band;
using netmoth::bench::RadioFacts;
using netmoth::ieee80211::ElementBytes;
using Decode = void (*)(const RadioFacts&, ElementBytes);

void security(const RadioFacts& facts, ElementBytes elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::securityMask(facts.capability, elements));
}

void phyModes(const RadioFacts& facts, ElementBytes elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::phyModeMask(facts.frequencyMHz, elements));
}

void channel(const RadioFacts& facts, ElementBytes elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::channelFor(facts.frequencyMHz, elements));
}

// Everything a radio-level network needs, as the scene and nl80211 backends ask it.
void wholeBss(const RadioFacts& facts, ElementBytes elements) {
    security(facts, elements);
    phyModes(facts, elements);
    channel(facts, elements);
}

void BM_Decode(benchmark::State& state, Band band, Decode decode) {
    const auto elements = netmoth::bench::realisticElements(band, "Venue-Guest");
    const RadioFacts facts = netmoth::bench::realisticRadioFacts(band);
    for (auto _ : state) decode(facts, elements);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * elements.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Decode, securityMask_ac_5GHz, Band::FiveGHz, security);
BENCHMARK_CAPTURE(BM_Decode, phyModeMask_ac_5GHz, Band::FiveGHz, phyModes);
BENCHMARK_CAPTURE(BM_Decode, channelFor_ac_5GHz, Band::FiveGHz, channel);
BENCHMARK_CAPTURE(BM_Decode, whole_bss_n_2GHz, Band::TwoGHz, wholeBss);
BENCHMARK_CAPTURE(BM_Decode, whole_bss_ac_5GHz, Band::FiveGHz, wholeBss);
