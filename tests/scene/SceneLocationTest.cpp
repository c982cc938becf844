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

TEST(SceneLocation, OneCallbackThroughTheRunLoopToTheCurrentDelegateUnlessTheSceneWithholdsIt) {
    platform::RunLoop runLoop;
    const auto scene = testing::mustParse("{}");
    const auto silentScene =
        testing::mustParse(R"({"location": {"authorizationStatus": -2147483648, "delivers": false}})");
    CountingDelegate replaced, current, unanswered;
    auto manager = scene->makeLocationManager(runLoop);
    manager->setDelegate(&replaced);
    manager->setDelegate(&current);
    manager->setDelegate(&current);
    manager->requestWhenInUseAuthorization();
    auto destroyed = scene->makeLocationManager(runLoop);
    destroyed->setDelegate(&replaced);
    destroyed.reset();
    auto silent = silentScene->makeLocationManager(runLoop);
    silent->setDelegate(&unanswered);
    silent->requestWhenInUseAuthorization();
    EXPECT_EQ(current.calls, 0) << "never from inside a call into the manager";

    runLoop.post([&runLoop] { runLoop.stop(); });  // runs what is posted so far
    runLoop.run();
    EXPECT_EQ(std::pair(current.calls, current.status), std::pair(1, 3)) << "absent location is authorized";
    EXPECT_EQ(std::pair(replaced.calls, unanswered.calls), std::pair(0, 0));
    EXPECT_EQ(silent->authorizationStatus(), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace netmoth::scene
