#include "platform/ProcessPlatform.h"

#include <cstdlib>

#include "platform/posix/FileUserDefaults.h"
#include "platform/posix/StorePath.h"
#include "platform/record/RecordingServices.h"
#include "platform/scene/Scene.h"
#ifdef NETMOTH_PLATFORM_LINUX
#include "platform/linux/LinuxPlatform.h"
#endif

namespace netmoth::platform {
namespace {

// The environment only counts for an unprivileged process: secure_getenv
// hides it when the binary runs setuid or with file capabilities.
const char* variable(const char* name) {
    const char* value = secure_getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

class SceneServices final : public PlatformServices {
public:
    SceneServices(std::unique_ptr<scene::Scene> scene, Diagnostics& diagnostics)
        : scene_(std::move(scene)), defaults_(posix::standardStorePath(), diagnostics) {}
    WiFiClient& sharedWiFiClient() override { return scene_->client(); }
    std::unique_ptr<LocationManager> makeLocationManager(RunLoop& runLoop) override {
        return scene_->makeLocationManager(runLoop);
    }
    UserDefaults& standardUserDefaults() override { return defaults_; }

private:
    std::unique_ptr<scene::Scene> scene_;
    posix::FileUserDefaults defaults_;
};

#ifdef NETMOTH_PLATFORM_LINUX
class LinuxServices final : public PlatformServices {
public:
    explicit LinuxServices(Diagnostics& diagnostics)
        : client_(linux_backend::makeNl80211Client(diagnostics)), defaults_(posix::standardStorePath(), diagnostics) {}
    WiFiClient& sharedWiFiClient() override { return *client_; }
    std::unique_ptr<LocationManager> makeLocationManager(RunLoop& runLoop) override {
        return linux_backend::makeLinuxLocationManager(runLoop);
    }
    UserDefaults& standardUserDefaults() override { return defaults_; }

private:
    std::unique_ptr<WiFiClient> client_;
    posix::FileUserDefaults defaults_;
};
#endif

}  // namespace

ProcessPlatform makeProcessPlatform(Diagnostics& diagnostics) {
    if (const char* scenePath = variable("NETMOTH_SCENE")) {
        scene::SceneLoadResult loaded = scene::loadSceneFile(scenePath);
        if (!loaded.scene) return {nullptr, std::move(loaded.error)};
        return {std::make_unique<SceneServices>(std::move(loaded.scene), diagnostics), {}};
    }
#ifdef NETMOTH_PLATFORM_LINUX
    std::unique_ptr<PlatformServices> services = std::make_unique<LinuxServices>(diagnostics);
    // Only the real radio is worth recording: a scene run already has its scene.
    if (const char* recordPath = variable("NETMOTH_RECORD")) {
        services = record::makeRecordingServices(std::move(services), recordPath, diagnostics);
    }
    return {std::move(services), {}};
#else
#error "no Wi-Fi backend for this operating system"
#endif
}

}  // namespace netmoth::platform
