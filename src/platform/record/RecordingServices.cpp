#include "platform/record/RecordingServices.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "platform/posix/AtomicFileWriter.h"
#include "platform/record/RecordingClient.h"
#include "platform/record/RecordingLocationManager.h"
#include "platform/scene/SceneWriter.h"

namespace netmoth::record {
namespace {

// Only a new file or an existing regular file may be replaced: renaming over
// a device node or a FIFO would replace it (as root, /dev/full itself).
bool replaceableRecordTarget(const std::filesystem::path& target) {
    struct stat info {};
    return stat(target.c_str(), &info) == 0 ? S_ISREG(info.st_mode) : errno == ENOENT;
}

class RecordingServices final : public platform::PlatformServices {
public:
    RecordingServices(std::unique_ptr<platform::PlatformServices> real, std::filesystem::path target,
                      platform::Diagnostics& diagnostics)
        : real_(std::move(real)),
          client_(real_->sharedWiFiClient()),
          target_(std::move(target)) {
        // Said now: the record is written after the diagnostics are printed.
        if (!replaceableRecordTarget(target_)) {
            diagnostics.note("no record written: " + target_.string() +
                             " is not a regular file; name a new file in NETMOTH_RECORD");
        }
    }
    ~RecordingServices() override { writeRecord(); }

    platform::WiFiClient& sharedWiFiClient() override { return client_; }
    std::unique_ptr<platform::LocationManager> makeLocationManager(platform::RunLoop& runLoop) override {
        auto manager = real_->makeLocationManager(runLoop);
        if (!manager) return nullptr;
        return std::make_unique<RecordingLocationManager>(std::move(manager), status_);
    }
    platform::UserDefaults& standardUserDefaults() override { return real_->standardUserDefaults(); }

private:
    void writeRecord() noexcept;

    std::unique_ptr<platform::PlatformServices> real_;  // outlives the recorders below
    RecordingClient client_;
    std::shared_ptr<StatusRecord> status_ = std::make_shared<StatusRecord>();
    std::filesystem::path target_;
};

void RecordingServices::writeRecord() noexcept {
    try {
        if (!replaceableRecordTarget(target_)) return;
        scene::WrittenScene scene = client_.written();
        if (!scene.interfaces) return;  // no radio at all: nothing worth replaying
        scene.authorizationStatus = status_->status;
        if (const auto text = scene::writeScene(scene)) platform::posix::replaceFileAtomically(target_, *text + '\n');
    } catch (...) {
        // Dropped on purpose: the record must never change how the run ends.
    }
}

}  // namespace

std::unique_ptr<platform::PlatformServices> makeRecordingServices(std::unique_ptr<platform::PlatformServices> real,
                                                                  std::filesystem::path target,
                                                                  platform::Diagnostics& diagnostics) {
    return std::make_unique<RecordingServices>(std::move(real), std::move(target), diagnostics);
}

}  // namespace netmoth::record
