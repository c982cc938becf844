#include <gtest/gtest.h>

#include "platform/linux/LinuxPlatform.h"

namespace netmoth::linux_backend {
namespace {

struct CountingDelegate : platform::LocationManagerDelegate {
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager) override {
        ++calls;
        status = manager.authorizationStatus();
    }
    int calls = 0;
    std::int32_t status = -1;
};

class LocationManagerTest : public testing::Test {
protected:
    void runPosted() {
        loop.post([this] { loop.stop(); });
        loop.run();
    }
    platform::RunLoop loop;
    CountingDelegate delegate;
};

TEST_F(LocationManagerTest, DeliversOneAuthorizedCallbackThroughTheRunLoop) {
    auto manager = makeLinuxLocationManager(loop);
    manager->setDelegate(nullptr);
    manager->setDelegate(&delegate);
    manager->requestWhenInUseAuthorization();
    manager->setDelegate(&delegate);
    EXPECT_EQ(delegate.calls, 0);
    runPosted();
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(delegate.status, 3);
}

TEST_F(LocationManagerTest, NothingArrivesForAClearedDelegateOrAGoneManager) {
    auto cleared = makeLinuxLocationManager(loop);
    cleared->setDelegate(&delegate);
    cleared->setDelegate(nullptr);
    makeLinuxLocationManager(loop)->setDelegate(&delegate);
    runPosted();
    EXPECT_EQ(delegate.calls, 0);
}

}  // namespace
}  // namespace netmoth::linux_backend
