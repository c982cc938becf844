#include "app/MyApp.h"

#include "app/AppDelegate.h"

namespace netmoth::app {

MyApp::MyApp(platform::PlatformServices& platform, std::vector<std::string> arguments, std::ostream& out)
    : platform_(platform), arguments_(std::move(arguments)), out_(out) {}

int MyApp::run() {
    platform::RunLoop runLoop;
    AppDelegate delegate(platform_, runLoop, std::move(arguments_), out_);
    runLoop.post([&delegate] { delegate.applicationDidFinishLaunching(); });
    runLoop.run();
    return 0;
}

}  // namespace netmoth::app
