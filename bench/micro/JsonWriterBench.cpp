// The report's cost for one scan record: building it from a network and
// writing it, then the writer alone on that same record.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ieee80211/Bss.h"
#include "report/Reports.h"
#include "util/JsonWriter.h"
#include "support/RealisticElements.h"

namespace {

using netmoth::bench::Band;

constexpr const char* kBssid = "02:00:00:00:12:34";

// A 5 GHz network the interface is joined to, decoded as a radio-level scan gives it.
std::vector<netmoth::wifi::Network> joinedNetwork(const std::string& ssid) {
    netmoth::ieee80211::RadioFacts facts = netmoth::bench::realisticBss(Band::FiveGHz, ssid);
    facts.bssid = kBssid;
    return {netmoth::ieee80211::networkFrom(facts)};
}

std::string reportOf(const std::vector<netmoth::wifi::Network>& networks) {
    netmoth::report::HiddenSsidIndex hidden;
    return netmoth::report::scanReport(networks, kBssid, hidden).line.value();
}

// The whole answer for one network: the record built, written, the array closed.
void BM_ScanReportOneRecord(benchmark::State& state, std::string ssid) {
    const auto networks = joinedNetwork(ssid);
    for (auto _ : state) benchmark::DoNotOptimize(reportOf(networks));
}

// The writer alone, on the record the report builds for that network.
void BM_WritePrettyJsonRecord(benchmark::State& state, std::string ssid) {
    const nlohmann::json record = nlohmann::json::parse(reportOf(joinedNetwork(ssid))).at(0);
    std::size_t written = 0;
    for (auto _ : state) {
        const auto text = netmoth::util::writePrettyJson(record);
        written = text->size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}

const std::string kAsciiSsid = "Venue-Guest";
const std::string kNonAsciiSsid = "Caf\xc3\xa9 Lumi\xc3\xa8re \xe6\x9d\xb1\xe4\xba\xac";

}  // namespace

BENCHMARK_CAPTURE(BM_ScanReportOneRecord, ascii_ssid, kAsciiSsid);
BENCHMARK_CAPTURE(BM_ScanReportOneRecord, non_ascii_ssid, kNonAsciiSsid);
BENCHMARK_CAPTURE(BM_WritePrettyJsonRecord, ascii_ssid, kAsciiSsid);
BENCHMARK_CAPTURE(BM_WritePrettyJsonRecord, non_ascii_ssid, kNonAsciiSsid);
