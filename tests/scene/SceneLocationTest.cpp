// Location permission: the scene's status, and one callback through the run loop or none.
#include <limits>

#include "SceneTestSupport.h"

namespace netmoth::scene {
namespace {

struct CountingDelegate : platform::LocationManagerDelegate {
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager) override {
        ++calls;
        status = manager.authorizationStatus();
    }
    int calls = 0;
    std::int32_t status = 0;
};

// Runs what is posted so far; the run loop would idle forever on an empty queue.
void drain(platform::RunLoop& runLoop) {
    runLoop.post([&runLoop] { runLoop.stop(); });
    runLoop.run();
}

TEST(SceneLocation, AbsentLocationIsAuthorizedAndDeliversOnceThroughTheRunLoop) {
    platform::RunLoop runLoop;
    auto manager = testing::mustParse("{}")->makeLocationManager(runLoop);
    CountingDelegate delegate;
    manager->setDelegate(&delegate);
    manager->setDelegate(&delegate);
    manager->requestWhenInUseAuthorization();
    EXPECT_EQ(delegate.calls, 0);  // never from inside a call into the manager
    drain(runLoop);
    EXPECT_EQ(std::pair(delegate.calls, delegate.status), std::pair(1, 3));
}

TEST(SceneLocation, NotDeliveringNeverCallsBackAndAnyStatusIsReported) {
    platform::RunLoop runLoop;
    auto scene = testing::mustParse(R"({"location": {"authorizationStatus": -2147483648, "delivers": false}})");
    auto manager = scene->makeLocationManager(runLoop);
    CountingDelegate delegate;
    manager->setDelegate(&delegate);
    manager->requestWhenInUseAuthorization();
    drain(runLoop);
    EXPECT_EQ(delegate.calls, 0);
    EXPECT_EQ(manager->authorizationStatus(), std::numeric_limits<std::int32_t>::min());
}

TEST(SceneLocation, CallbackGoesToTheCurrentDelegateOrNowhere) {
    platform::RunLoop runLoop;
    auto scene = testing::mustParse("{}");
    CountingDelegate first;
    CountingDelegate second;
    auto replaced = scene->makeLocationManager(runLoop);
    replaced->setDelegate(&first);
    replaced->setDelegate(&second);
    auto destroyed = scene->makeLocationManager(runLoop);
    destroyed->setDelegate(&first);
    destroyed.reset();
    drain(runLoop);
    EXPECT_EQ(first.calls, 0);
    EXPECT_EQ(second.calls, 1);
}

}  // namespace
}  // namespace netmoth::scene
