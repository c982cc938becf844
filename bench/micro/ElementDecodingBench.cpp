// What the decoder costs per BSS on a radio-level scan: the one walk of the
// elements, each question answered from that walk, and networkFrom, which
// does all of it and builds the network a report reads.

#include <benchmark/benchmark.h>

#include "ieee80211/Elements.h"
#include "support/RealisticElements.h"

namespace {

using netmoth::bench::Band;
using netmoth::ieee80211::RadioFacts;
using netmoth::ieee80211::Elements;

Elements walk(const RadioFacts& facts) { return netmoth::ieee80211::parseElements(*facts.elements); }

void BM_Walk(benchmark::State& state, Band band) {
    const RadioFacts facts = netmoth::bench::realisticBss(band, "Venue-Guest");
    for (auto _ : state) benchmark::DoNotOptimize(walk(facts));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * facts.elements->size()));
}

// One question asked of an element list already walked.
using Question = void (*)(const RadioFacts&, const Elements&);

void security(const RadioFacts& facts, const Elements& elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::securityFrom(facts.capability, elements));
}

void phyMode(const RadioFacts& facts, const Elements& elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::highestPhyModeFrom(*facts.frequencyMHz, elements));
}

void channel(const RadioFacts& facts, const Elements& elements) {
    benchmark::DoNotOptimize(netmoth::ieee80211::channelFrom(*facts.frequencyMHz, elements));
}

void BM_Question(benchmark::State& state, Band band, Question question) {
    const RadioFacts facts = netmoth::bench::realisticBss(band, "Venue-Guest");
    const Elements elements = walk(facts);
    for (auto _ : state) question(facts, elements);
}

// Everything a radio-level network needs, as the scene and nl80211 backends ask it.
void BM_NetworkFrom(benchmark::State& state, Band band) {
    RadioFacts facts = netmoth::bench::realisticBss(band, "Venue-Guest");
    facts.bssid = "02:00:00:00:12:34";
    for (auto _ : state) benchmark::DoNotOptimize(netmoth::ieee80211::networkFrom(facts));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * facts.elements->size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Walk, parseElements_ac_5GHz, Band::FiveGHz);
BENCHMARK_CAPTURE(BM_Question, securityFrom_ac_5GHz, Band::FiveGHz, security);
BENCHMARK_CAPTURE(BM_Question, highestPhyModeFrom_ac_5GHz, Band::FiveGHz, phyMode);
BENCHMARK_CAPTURE(BM_Question, channelFrom_ac_5GHz, Band::FiveGHz, channel);
BENCHMARK_CAPTURE(BM_NetworkFrom, whole_bss_n_2GHz, Band::TwoGHz);
BENCHMARK_CAPTURE(BM_NetworkFrom, whole_bss_ac_5GHz, Band::FiveGHz);
