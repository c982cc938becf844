#pragma once
// Location permission as the platform reports it.

#include <cstdint>

namespace netmoth::platform {

class LocationManager;

class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    // Delivered through the run loop, never from inside a call into the manager.
    virtual void locationManagerDidChangeAuthorization(LocationManager& manager) = 0;
};

class LocationManager {
public:
    virtual ~LocationManager() = default;
    // Setting a delegate schedules the first authorization callback.
    virtual void setDelegate(LocationManagerDelegate* delegate) = 0;
    virtual void requestWhenInUseAuthorization() = 0;
    // 0 not determined, 1 restricted, 2 denied, 3 authorized, 4 when in use;
    // a backend may report any other value.
    virtual std::int32_t authorizationStatus() const = 0;
};

}  // namespace netmoth::platform
