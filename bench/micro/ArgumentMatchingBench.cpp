// Switch matching runs on every argument of every launch, in grapheme
// clusters; these show what one argument costs, ASCII or not.

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "cli/ArgumentMatching.h"

namespace {

using netmoth::cli::hasPrefix;
using netmoth::cli::parseArgument;

constexpr std::string_view kSsidSwitch = "--ssid=";
constexpr std::string_view kConnectedSignalSwitch = "--isRetrievingConnectedSignal";

// A name with a precomposed letter, CJK, and a family emoji joined by ZWJ.
const std::string kNonAsciiSsidArgument =
    "--ssid=\"Caf\xc3\xa9 \xe6\x9d\xb1\xe4\xba\xac "
    "\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7\"";
// The same switch spelled with a fullwidth hyphen: not a match, found at once.
const std::string kNearMissArgument = "\xef\xbc\x8d-isRetrievingConnectedSignal";
// "e" plus a combining acute accent must equal the precomposed switch text.
const std::string kDecomposedPrefix = "--ssid=Cafe\xcc\x81";
const std::string kPrecomposedArgument = "--ssid=Caf\xc3\xa9 Lumi\xc3\xa8re";

void BM_HasPrefix(benchmark::State& state, std::string argument, std::string prefix) {
    for (auto _ : state) benchmark::DoNotOptimize(hasPrefix(argument, prefix));
}

// What one argument costs the launch: it is tested against all four switches.
void BM_MatchAllSwitches(benchmark::State& state, std::string argument) {
    constexpr std::string_view kSwitches[] = {kSsidSwitch, "--isRetrievingInterfaces", kConnectedSignalSwitch,
                                              "--isCheckingLocationPermission"};
    for (auto _ : state) {
        for (const std::string_view name : kSwitches) benchmark::DoNotOptimize(hasPrefix(argument, name));
    }
}

void BM_ParseArgument(benchmark::State& state, std::string argument) {
    for (auto _ : state) benchmark::DoNotOptimize(parseArgument(argument, kSsidSwitch));
}

}  // namespace

BENCHMARK_CAPTURE(BM_HasPrefix, ascii_match, std::string(kConnectedSignalSwitch), std::string(kConnectedSignalSwitch));
BENCHMARK_CAPTURE(BM_HasPrefix, ascii_mismatch_at_end, std::string("--isRetrievingConnectedSignaX"),
                  std::string(kConnectedSignalSwitch));
BENCHMARK_CAPTURE(BM_HasPrefix, non_ascii_near_miss, kNearMissArgument, std::string(kConnectedSignalSwitch));
BENCHMARK_CAPTURE(BM_HasPrefix, non_ascii_canonical_match, kPrecomposedArgument, kDecomposedPrefix);
BENCHMARK_CAPTURE(BM_MatchAllSwitches, ascii_program_path, std::string("/usr/bin/netmoth-companion"));
BENCHMARK_CAPTURE(BM_MatchAllSwitches, ascii_switch, std::string(kConnectedSignalSwitch));
BENCHMARK_CAPTURE(BM_MatchAllSwitches, non_ascii_ssid, kNonAsciiSsidArgument);
BENCHMARK_CAPTURE(BM_ParseArgument, ascii_quoted, std::string("--ssid=\"Venue Guest\""));
BENCHMARK_CAPTURE(BM_ParseArgument, non_ascii_quoted, kNonAsciiSsidArgument);
