// Entry point: make the process safe to write from, pick the platform, run the
// app, then write the answer and say on standard error why it is degraded.

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "app/MyApp.h"
#include "platform/MemoryReserve.h"
#include "platform/Output.h"
#include "platform/ProcessPlatform.h"
#include "platform/Utf8.h"

namespace {

// A launcher may start us with a standard descriptor closed; the next file we
// open (the store) would then take its number and receive our output.
void reopenClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened > 2) close(opened);
    }
}

void explain(const std::string& line) {
    netmoth::platform::writeAll(STDERR_FILENO, "netmoth-companion: " + line + '\n');
}

}  // namespace

int main(int argc, char** argv) {
    reopenClosedStandardDescriptors();
    netmoth::platform::armMemoryReserve();
    // A reader that goes away must not end us by a signal: the write just fails.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) arguments.push_back(netmoth::platform::decodeUtf8Lossy(argv[i]));

    netmoth::platform::Diagnostics diagnostics;
    netmoth::platform::ProcessPlatform platform = netmoth::platform::makeProcessPlatform(diagnostics);
    if (!platform.services) {
        explain(platform.error);
        return 2;
    }
    std::ostringstream answer;
    const int status = netmoth::app::MyApp(*platform.services, std::move(arguments), answer, diagnostics).run();
    // Out of memory while the answer was copied in: never a truncated answer,
    // the job's empty form instead ([] for the scan, {} for the reports).
    if (answer.bad()) {
        const std::string_view partial = answer.view();
        netmoth::platform::writeAll(STDOUT_FILENO, partial.starts_with('[') ? "[]\n" : "{}\n");
    } else {
        netmoth::platform::writeAll(STDOUT_FILENO, answer.view());
    }
    for (const std::string& line : diagnostics.lines()) explain(line);
    return status;
}
