#include "platform/record/RecordingLocationManager.h"

#include <utility>

namespace netmoth::record {

RecordingLocationManager::RecordingLocationManager(std::unique_ptr<platform::LocationManager> real,
                                                   std::shared_ptr<StatusRecord> record)
    : real_(std::move(real)), record_(std::move(record)) {}

RecordingLocationManager::~RecordingLocationManager() {
    if (!record_->status) record_->status = real_->authorizationStatus();
}

void RecordingLocationManager::setDelegate(platform::LocationManagerDelegate* delegate) {
    delegate_ = delegate;
    real_->setDelegate(delegate != nullptr ? this : nullptr);
}

std::int32_t RecordingLocationManager::authorizationStatus() const {
    const std::int32_t status = real_->authorizationStatus();
    record_->status = status;
    return status;
}

void RecordingLocationManager::locationManagerDidChangeAuthorization(platform::LocationManager& /*manager*/) {
    if (delegate_ != nullptr) delegate_->locationManagerDidChangeAuthorization(*this);
}

}  // namespace netmoth::record
