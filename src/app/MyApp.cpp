#include "app/MyApp.h"

#include "app/AppDelegate.h"

namespace netmoth::app {

MyApp::MyApp(platform::PlatformServices& platform, std::vector<std::string> arguments, std::ostream& out,
             platform::Diagnostics& diagnostics)
    : platform_(platform), arguments_(std::move(arguments)), out_(out), diagnostics_(diagnostics) {}

int MyApp::run() {
    platform::RunLoop runLoop;
    AppDelegate delegate(platform_, runLoop, std::move(arguments_), out_, diagnostics_);
    runLoop.post([&delegate] { delegate.applicationDidFinishLaunching(); });
    runLoop.run();
    return 0;
}

}  // namespace netmoth::app
