// Launches a program repeatedly and reports its wall time and peak memory:
//   netmoth_launch_meter [--runs N] [--empty-before-each DIR] [--keep-output FILE] -- program args...
// Prints one line: "<median µs> <min µs> <max µs> <median CPU µs> <peak RSS KiB>":
// wall times, then user plus system time, which other load on the machine
// disturbs less. One untimed run comes first so every timed run finds the
// files in the page cache.
//
// The child is started with fork, not vfork or posix_spawn: ru_maxrss carries
// the memory of the image the child replaces, and a forked copy of this small
// program adds only its few private pages.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    int runs = 15;
    std::optional<std::filesystem::path> emptyBeforeEach;
    std::string outputFile = "/dev/null";
    std::vector<char*> command;  // null-terminated for execvp
};

struct Sample {
    double wallMicroseconds;
    double cpuMicroseconds;
    long peakRssKiB;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    int i = 1;
    for (; i + 1 < argc && std::string_view(argv[i]) != "--"; i += 2) {
        const std::string_view name = argv[i];
        if (name == "--runs") {
            const std::string_view value = argv[i + 1];
            const auto parsed = std::from_chars(value.data(), value.data() + value.size(), options.runs);
            if (parsed.ec != std::errc{} || parsed.ptr != value.data() + value.size()) return std::nullopt;
        } else if (name == "--empty-before-each") {
            options.emptyBeforeEach = argv[i + 1];
        } else if (name == "--keep-output") {
            options.outputFile = argv[i + 1];
        } else {
            return std::nullopt;
        }
    }
    if (i >= argc || std::string_view(argv[i]) != "--" || i + 1 == argc || options.runs < 1) return std::nullopt;
    options.command.assign(argv + i + 1, argv + argc);
    options.command.push_back(nullptr);
    return options;
}

void emptyFolder(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove_all(entry.path());
}

double microseconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e6 + static_cast<double>(time.tv_usec);
}

[[noreturn]] void execInChild(const Options& options) {
    const int out = open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0 || dup2(out, STDOUT_FILENO) < 0) _exit(126);
    execvp(options.command[0], options.command.data());
    _exit(127);
}

std::optional<Sample> launchOnce(const Options& options) {
    if (options.emptyBeforeEach) emptyFolder(*options.emptyBeforeEach);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) execInChild(options);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return std::nullopt;
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "netmoth_launch_meter: %s did not exit with status 0\n", options.command[0]);
        return std::nullopt;
    }
    return Sample{elapsed.count(), microseconds(usage.ru_utime) + microseconds(usage.ru_stime), usage.ru_maxrss};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: netmoth_launch_meter [--runs N] [--empty-before-each DIR] [--keep-output FILE] "
                     "-- program args...\n");
        return 2;
    }
    if (!launchOnce(*options)) return 1;
    std::vector<double> wallTimes;
    std::vector<double> cpuTimes;
    long peakRssKiB = 0;
    for (int run = 0; run < options->runs; ++run) {
        const std::optional<Sample> sample = launchOnce(*options);
        if (!sample) return 1;
        wallTimes.push_back(sample->wallMicroseconds);
        cpuTimes.push_back(sample->cpuMicroseconds);
        peakRssKiB = std::max(peakRssKiB, sample->peakRssKiB);
    }
    std::printf("%.1f %.1f %.1f %.1f %ld\n", median(wallTimes), *std::min_element(wallTimes.begin(), wallTimes.end()),
                *std::max_element(wallTimes.begin(), wallTimes.end()), median(cpuTimes), peakRssKiB);
    return 0;
}
