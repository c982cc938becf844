#include "scene/RecordingBackend.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/AtomicFileWriter.h"
#include "scene/Scene.h"
#include "scene/SceneWriter.h"

namespace netmoth::scene {
namespace {

// The first answer to a question, asked once.
template <typename T, typename Ask>
const T& remembered(std::optional<T>& slot, Ask ask) {
    if (!slot) slot.emplace(ask());
    return *slot;
}

// A scan for a name answers every network under that name, so a replayed
// scan for it finds them by their SSID alone.
SceneScan sceneScanOf(const std::optional<std::vector<wifi::Network>>& networks) {
    if (!networks) return {.fails = true, .networks = {}};
    SceneScan scan;
    for (const wifi::Network& network : *networks) scan.networks.push_back({network, std::nullopt});
    return scan;
}

// Where the record goes: whole or not at all, never half written.
bool replaceable(const std::filesystem::path& target) {
    struct stat info {};
    return stat(target.c_str(), &info) == 0 ? S_ISREG(info.st_mode) : errno == ENOENT;
}

void writeRecord(const std::filesystem::path& target, std::string_view text) {
    if (replaceable(target)) util::replaceFileAtomically(target, text);
}

class RecordingBackend final : public wifi::Backend {
public:
    RecordingBackend(std::unique_ptr<wifi::Backend> real, std::filesystem::path target,
                     util::Diagnostics& diagnostics)
        : real_(std::move(real)), target_(std::move(target)) {
        if (!replaceable(target_)) {
            diagnostics.note("no record written: " + util::printable(target_.string()) +
                             " is not a regular file; name a new file in NETMOTH_RECORD");
        }
    }
    ~RecordingBackend() override;

    std::optional<wifi::Interface> defaultInterface() override {
        return remembered(default_, [this] { return real_->defaultInterface(); });
    }
    std::optional<std::vector<wifi::Interface>> interfaces() override {
        return remembered(list_, [this] { return real_->interfaces(); });
    }
    std::optional<wifi::Permission> permission() override {
        return remembered(permission_, [this] { return real_->permission(); });
    }
    std::optional<std::vector<wifi::Network>> scan(const std::optional<std::string>& name) override;

private:
    Scene recorded();

    std::unique_ptr<wifi::Backend> real_;
    std::filesystem::path target_;
    std::optional<std::optional<wifi::Interface>> default_;
    std::optional<std::optional<std::vector<wifi::Interface>>> list_;
    std::optional<std::optional<wifi::Permission>> permission_;
    std::optional<std::optional<std::vector<wifi::Network>>> firstScan_;  // a scene holds one scan per interface
};

RecordingBackend::~RecordingBackend() {
    try {
        const Scene scene = recorded();
        if (!scene.interfaces) return;  // no radio at all: nothing worth replaying
        if (const auto text = writeScene(scene)) writeRecord(target_, *text + '\n');
    } catch (...) {
        // Dropped on purpose: the record must never change how the run ends.
    }
}

std::optional<std::vector<wifi::Network>> RecordingBackend::scan(const std::optional<std::string>& name) {
    auto networks = real_->scan(name);
    if (!firstScan_) firstScan_ = networks;
    return networks;
}

// The default interface is one of the listed ones, found by its whole value:
// two interfaces may share a name (names that are not UTF-8 read alike).
Scene RecordingBackend::recorded() {
    Scene scene;
    scene.permission = permission();
    const auto list = interfaces();
    if (!list) {
        scene.interfaces = std::nullopt;  // no default either: the scene cannot point into a missing list
        return scene;
    }
    for (const wifi::Interface& interface : *list) scene.interfaces->push_back({interface, {}});
    const auto chosen = defaultInterface();
    if (!chosen) return scene;
    const auto same = std::ranges::find(*list, *chosen);
    if (same == list->end()) return scene;
    const auto index = static_cast<std::size_t>(same - list->begin());
    scene.defaultInterface = index;
    if (firstScan_) (*scene.interfaces)[index].scan = sceneScanOf(*firstScan_);
    return scene;
}

}  // namespace

std::unique_ptr<wifi::Backend> makeRecordingBackend(std::unique_ptr<wifi::Backend> real,
                                                    std::filesystem::path target, util::Diagnostics& diagnostics) {
    return std::make_unique<RecordingBackend>(std::move(real), std::move(target), diagnostics);
}

}  // namespace netmoth::scene
