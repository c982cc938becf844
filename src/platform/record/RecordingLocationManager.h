#pragma once
// A location manager that forwards to the real one and remembers the status
// it reported.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Location.h"

namespace netmoth::record {

// Shared by the managers and the recorder that writes it, whichever goes first.
struct StatusRecord {
    std::optional<std::int32_t> status;  // the latest status reported
};

class RecordingLocationManager final : public platform::LocationManager, private platform::LocationManagerDelegate {
public:
    RecordingLocationManager(std::unique_ptr<platform::LocationManager> real, std::shared_ptr<StatusRecord> record);
    // A run that never asked for the status still records the one it had.
    ~RecordingLocationManager() override;

    // The delegate is called back with this manager, so its questions are recorded too.
    void setDelegate(platform::LocationManagerDelegate* delegate) override;
    void requestWhenInUseAuthorization() override { real_->requestWhenInUseAuthorization(); }
    std::int32_t authorizationStatus() const override;

private:
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager) override;

    std::unique_ptr<platform::LocationManager> real_;
    std::shared_ptr<StatusRecord> record_;
    platform::LocationManagerDelegate* delegate_ = nullptr;
};

}  // namespace netmoth::record
