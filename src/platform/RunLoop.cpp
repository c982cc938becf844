#include "platform/RunLoop.h"

#include <unistd.h>

#include <utility>

namespace netmoth::platform {

void RunLoop::post(std::function<void()> task) { tasks_.push_back(std::move(task)); }

void RunLoop::stop() { stopped_ = true; }

void RunLoop::run() {
    while (!stopped_) {
        if (tasks_.empty()) {
            // Everything runs on this one thread, so an empty queue can never
            // fill again: wait for a signal to end the process.
            for (;;) pause();
        }
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        task();
    }
}

}  // namespace netmoth::platform
