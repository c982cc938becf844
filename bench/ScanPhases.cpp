// Where a scan's time goes, phase by phase, inside one process:
//   netmoth_scan_phases <runs> <scene file>...
// Runs the same steps as a scan launch on each scene (store in a fresh
// temporary folder each run) and prints a table: per phase, the median CPU
// time of this thread divided by the number of networks, one column per scene.
// CPU time, not wall time, so other load on the machine disturbs it little.
// readScene streams the text into values, building no document; for scale,
// the last row times what a whole nlohmann document of the same text would
// cost (parse and free), which no launch pays.

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "report/Reports.h"
#include "scene/SceneBackend.h"
#include "scene/SceneFile.h"
#include "scene/SceneReader.h"
#include "store/FileNumberStore.h"

namespace {

using namespace netmoth;

// What is timed, in order; DomParse and DomFree come last and are not a step of a launch.
enum Measured { ReadFile, ReadScene, Scan, Report, Save, FreeAll, DomParse, DomFree };

// The rows printed: every step of a launch once, so they add up to the total.
constexpr std::string_view kRows[] = {"read file", "read scene", "scan", "report", "save", "free all"};
constexpr std::size_t kRowCount = std::size(kRows);

double threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Runs each step in turn and records its CPU time into costs.
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

// One scan launch, as cli::run answers it, cut into steps; returns the number of records.
std::size_t scanOnce(const std::string& scenePath, const std::filesystem::path& storeFolder,
                     std::vector<double>& costs) {
    std::filesystem::remove_all(storeFolder);
    PhaseClock clock(costs);
    scene::FileContents contents;
    nlohmann::json document;
    scene::SceneReading reading;
    std::unique_ptr<scene::SceneBackend> backend;
    std::optional<std::vector<wifi::Network>> networks;
    util::Diagnostics diagnostics;
    store::FileNumberStore numbers(storeFolder / "defaults.json", diagnostics);
    std::unique_ptr<store::NumbersLease> lease;
    report::HiddenSsidIndex hidden;
    report::Answer answer;
    std::string connectedBssid;
    clock.run([&] { contents = scene::readFileCapped(scenePath, scene::kMaxSceneFileBytes); });
    const std::string_view text = contents.text.value();
    clock.run([&] {
        reading = scene::readScene(text);
        backend = std::make_unique<scene::SceneBackend>(std::move(reading.scene.value()));
    });
    clock.run([&] {
        connectedBssid = backend->defaultInterface().value().bssid.value_or("");
        networks = backend->scan(std::nullopt);
    });
    clock.run([&] {
        lease = numbers.lease();
        hidden = report::loadHiddenSsidIndex(lease->numbers());
        answer = report::scanReport(networks.value(), connectedBssid, hidden);
    });
    clock.run([&] {
        report::saveHiddenSsidIndex(hidden, *lease);
        lease.reset();
    });
    const std::size_t records = nlohmann::json::parse(answer.line.value()).size();
    clock.run([&] {
        answer = {};
        hidden = {};
        networks.reset();
        backend.reset();
        reading = {};
    });
    clock.run([&] { document = nlohmann::json::parse(contents.text.value()); });
    clock.run([&] { document = nullptr; });
    contents = {};
    return records;
}

// The rows from one run's measured steps: all of them, the document's last.
std::vector<double> rowsOf(const std::vector<double>& measured) { return measured; }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median CPU µs per network of each phase, then the total and the network count.
std::vector<double> phaseCosts(const std::string& scenePath, int runs, std::size_t& records) {
    const std::filesystem::path storeFolder =
        std::filesystem::temp_directory_path() / ("netmoth-scan-phases-" + std::to_string(getpid()));
    std::vector<std::vector<double>> costsByRow(kRowCount + 2);
    for (int run = 0; run < runs; ++run) {
        std::vector<double> measured;
        records = scanOnce(scenePath, storeFolder, measured);
        const std::vector<double> rows = rowsOf(measured);
        for (std::size_t row = 0; row < rows.size(); ++row) costsByRow[row].push_back(rows[row]);
    }
    std::filesystem::remove_all(storeFolder);
    std::vector<double> perNetwork;
    double total = 0;
    for (const auto& costs : costsByRow) {
        perNetwork.push_back(median(costs) / 1000 / static_cast<double>(std::max<std::size_t>(records, 1)));
        if (perNetwork.size() <= kRowCount) total += perNetwork.back();
    }
    perNetwork.insert(perNetwork.begin() + kRowCount, total);
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
    for (std::size_t row = 0; row <= kRowCount; ++row) {
        std::printf("%-14s", row < kRowCount ? std::string(kRows[row]).c_str() : "total");
        for (const auto& column : columns) std::printf(" %14.2f", column[row]);
        std::printf("\n");
    }
    std::printf("%-14s", "(a document)");  // not part of a launch: what the streaming read avoids
    for (const auto& column : columns) {
        std::printf(" %6.2f + %5.2f", column[kRowCount + 1], column[kRowCount + 2]);
    }
    std::printf("  parse + free, for scale\n");
    return 0;
}
