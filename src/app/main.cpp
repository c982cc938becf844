// Entry point: make the process safe to write from, pick the platform, run the app.

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "app/MyApp.h"
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

}  // namespace

int main(int argc, char** argv) {
    reopenClosedStandardDescriptors();
    // A reader that goes away must not end us by a signal: the write just fails.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) arguments.push_back(netmoth::platform::decodeUtf8Lossy(argv[i]));

    netmoth::platform::ProcessPlatform platform = netmoth::platform::makeProcessPlatform();
    if (!platform.services) {
        std::cerr << "netmoth-companion: " << platform.error << '\n';
        return 2;
    }
    netmoth::app::MyApp app(*platform.services, std::move(arguments), std::cout);
    return app.run();
}
