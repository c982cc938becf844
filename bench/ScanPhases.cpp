// Where a scan's time goes, phase by phase, inside one process:
//   netmoth_scan_phases <runs> <scene file>...
// Runs the same steps as a scan launch on each scene (store in a fresh
// temporary folder each run) and prints a table: per phase, the median CPU
// time of this thread divided by the number of networks, one column per scene.
// CPU time, not wall time, so other load on the machine disturbs it little.

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "store/FileUserDefaults.h"
#include "platform/scene/Scene.h"
#include "platform/scene/SceneFile.h"
#include "platform/scene/SceneParser.h"
#include "reports/NetworkScanReport.h"

namespace {

// The scan writes each record as it builds it, so writing is part of "scan + report".
constexpr std::string_view kPhases[] = {"read file", "parse JSON",    "read scene",
                                        "free JSON", "scan + report", "free all"};
constexpr std::size_t kPhaseCount = std::size(kPhases);

double threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Runs each phase in turn and records its CPU time into costs.
class PhaseClock {
public:
    explicit PhaseClock(std::vector<double>& costs) : costs_(costs) {}
    void run(const std::function<void()>& phase) {
        const double start = threadCpuNanoseconds();
        phase();
        costs_.push_back(threadCpuNanoseconds() - start);
    }

private:
    std::vector<double>& costs_;
};

// One scan launch, cut into phases; returns the number of records.
std::size_t scanOnce(const std::string& scenePath, const std::filesystem::path& storeFolder,
                     std::vector<double>& costs) {
    using namespace netmoth;
    std::filesystem::remove_all(storeFolder);
    PhaseClock clock(costs);
    scene::FileContents contents;
    nlohmann::json document;
    std::unique_ptr<scene::Scene> loaded;
    util::Diagnostics diagnostics;
    store::FileUserDefaults defaults(storeFolder / "defaults.json", diagnostics);
    report::ReportOutcome outcome;
    clock.run([&] { contents = scene::readFileCapped(scenePath, scene::kMaxSceneFileBytes); });
    clock.run([&] {
        const std::string_view json = contents.text.value();
        document = nlohmann::json::parse(json.begin(), json.end());
    });
    clock.run([&] { loaded = std::make_unique<scene::Scene>(scene::readScene(document)); });
    clock.run([&] { document = nullptr; });
    clock.run([&] {
        const report::ScanSources sources{loaded->client(), loaded->client(), defaults};
        outcome = report::buildNetworkScanReport(sources, std::nullopt);
    });
    const std::size_t records = nlohmann::json::parse(outcome.text.value()).size();
    clock.run([&] {
        outcome = {};
        loaded.reset();
        contents = {};
    });
    return records;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median CPU µs per network of each phase, then the total and the network count.
std::vector<double> phaseCosts(const std::string& scenePath, int runs, std::size_t& records) {
    const std::filesystem::path storeFolder =
        std::filesystem::temp_directory_path() / ("netmoth-scan-phases-" + std::to_string(getpid()));
    std::vector<std::vector<double>> costsByPhase(kPhaseCount);
    for (int run = 0; run < runs; ++run) {
        std::vector<double> costs;
        records = scanOnce(scenePath, storeFolder, costs);
        for (std::size_t phase = 0; phase < kPhaseCount; ++phase) costsByPhase[phase].push_back(costs[phase]);
    }
    std::filesystem::remove_all(storeFolder);
    std::vector<double> perNetwork;
    double total = 0;
    for (const auto& costs : costsByPhase) {
        perNetwork.push_back(median(costs) / 1000 / static_cast<double>(std::max<std::size_t>(records, 1)));
        total += perNetwork.back();
    }
    perNetwork.push_back(total);
    return perNetwork;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    const std::string_view runsText = argc > 2 ? argv[1] : "";
    const auto parsed = std::from_chars(runsText.data(), runsText.data() + runsText.size(), runs);
    if (argc < 3 || parsed.ec != std::errc{} || runs < 1) {
        std::fprintf(stderr, "usage: netmoth_scan_phases <runs> <scene file>...\n");
        return 2;
    }
    std::printf("%-14s", "µs/network");
    std::vector<std::vector<double>> columns;
    for (int i = 2; i < argc; ++i) {
        std::size_t records = 0;
        columns.push_back(phaseCosts(argv[i], runs, records));
        std::printf(" %14s", std::filesystem::path(argv[i]).stem().c_str());
    }
    std::printf("\n");
    for (std::size_t row = 0; row <= kPhaseCount; ++row) {
        std::printf("%-14s", row < kPhaseCount ? std::string(kPhases[row]).c_str() : "total");
        for (const auto& column : columns) std::printf(" %14.2f", column[row]);
        std::printf("\n");
    }
    return 0;
}
