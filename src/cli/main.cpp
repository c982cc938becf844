// Entry point: make the process safe to write from, pick the radio, answer
// the one job, then say on standard error why the answer is degraded.

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <new>

#include "cli/ChooseBackend.h"
#include "cli/Run.h"
#include "util/Memory.h"
#include "util/Output.h"
#include "util/Utf8.h"
#include "store/FileNumberStore.h"
#include "store/StorePath.h"

namespace {

using namespace netmoth;

// A launcher may start us with a standard descriptor closed; the next file we
// open (the store) would then take its number and receive our output.
void reopenClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened > 2) close(opened);
    }
}

void explain(const std::string& line) { util::writeAll(STDERR_FILENO, "netmoth-companion: " + line + '\n'); }

// A permission the platform never reports: idle until ended from outside.
[[noreturn]] void waitForever() {
    for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
    reopenClosedStandardDescriptors();
    util::armMemoryReserve();
    // A reader that goes away must not end us by a signal: the write just fails.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) arguments.push_back(util::decodeUtf8Lossy(argv[i]));

    util::Diagnostics diagnostics;
    cli::ChosenBackend chosen = cli::chooseBackend(diagnostics);
    if (!chosen.backend) {
        explain(chosen.error);
        return 2;
    }
    store::FileNumberStore numbers(store::standardStorePath(), diagnostics);
    cli::Platform platform{*chosen.backend, numbers, diagnostics};
    std::string answer;
    if (!cli::run(arguments, platform, answer)) waitForever();
    util::writeAll(STDOUT_FILENO, answer);
    chosen.backend.reset();  // a recording is written now, after the answer
    for (const std::string& line : diagnostics.lines()) explain(line);
    return 0;
}
