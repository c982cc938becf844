#pragma once
// The main thread's run loop: work posted here runs after the current task returns.

#include <deque>
#include <functional>

namespace netmoth::platform {

class RunLoop {
public:
    void post(std::function<void()> task);
    // Runs posted tasks in order until stop(); with nothing to do and no stop,
    // idles without spinning until the process is ended from outside.
    void run();
    void stop();
    bool isStopped() const { return stopped_; }

private:
    std::deque<std::function<void()>> tasks_;
    bool stopped_ = false;
};

}  // namespace netmoth::platform
