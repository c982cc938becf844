#pragma once
// The application: creates the one AppDelegate, hands it the finished launch
// through the run loop and runs until a job ends it.

#include <ostream>
#include <string>
#include <vector>

#include "platform/Diagnostics.h"
#include "platform/PlatformServices.h"

namespace netmoth::app {

class MyApp {
public:
    // diagnostics hears why an answer is a fallback or empty.
    MyApp(platform::PlatformServices& platform, std::vector<std::string> arguments, std::ostream& out,
          platform::Diagnostics& diagnostics);
    // Returns the process exit status: every outcome ends the same way.
    int run();

private:
    platform::PlatformServices& platform_;
    std::vector<std::string> arguments_;
    std::ostream& out_;
    platform::Diagnostics& diagnostics_;
};

}  // namespace netmoth::app
