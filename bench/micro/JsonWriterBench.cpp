// The writer's cost for one scan record, as the report builds it.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "util/Base64.h"
#include "util/JsonWriter.h"
#include "support/RealisticElements.h"

namespace {

using netmoth::bench::Band;

nlohmann::json scanRecord(const std::string& ssid) {
    return {{"bssid", "02:00:00:00:12:34"},
            {"isConnected", true},
            {"SSID", ssid},
            {"ie", netmoth::util::encodeBase64(netmoth::bench::realisticElements(Band::FiveGHz, ssid))},
            {"wlanChannel", {{"channelNumber", 36}, {"channelWidth", 80}, {"channelBand", 5000}}},
            {"rssi", -48},
            {"security", "WPA2-PSK, WPA3-SAE"},
            {"wifiType", 5}};
}

void BM_WritePrettyJsonRecord(benchmark::State& state, std::string ssid) {
    const nlohmann::json record = scanRecord(ssid);
    std::size_t written = 0;
    for (auto _ : state) {
        const auto text = netmoth::util::writePrettyJson(record);
        written = text->size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}

}  // namespace

BENCHMARK_CAPTURE(BM_WritePrettyJsonRecord, ascii_ssid, std::string("Venue-Guest"));
BENCHMARK_CAPTURE(BM_WritePrettyJsonRecord, non_ascii_ssid,
                  std::string("Caf\xc3\xa9 Lumi\xc3\xa8re \xe6\x9d\xb1\xe4\xba\xac"));
