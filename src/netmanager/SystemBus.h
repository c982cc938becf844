#pragma once
// The system D-Bus through sd-bus, loaded from libsystemd.so.0 when a scan
// first needs it: linked, libsystemd and the libraries it pulls in would be
// loaded by every launch, the polling connected-signal launch included.

#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace netmoth::netmanager {

#define NETMOTH_SD_BUS_FUNCTIONS(X)                                                                          \
    X(sd_bus_open_system)                                                                                    \
    X(sd_bus_set_method_call_timeout) X(sd_bus_flush_close_unref) X(sd_bus_message_new_method_call)          \
    X(sd_bus_message_append_basic) X(sd_bus_message_append_array) X(sd_bus_message_open_container)           \
    X(sd_bus_message_close_container) X(sd_bus_call) X(sd_bus_message_unref) X(sd_bus_error_free)            \
    X(sd_bus_message_read_basic) X(sd_bus_message_enter_container) X(sd_bus_message_exit_container)          \
    X(sd_bus_message_skip) X(sd_bus_get_property_trivial)

struct SdBus {
#define NETMOTH_SD_BUS_POINTER(name) decltype(&::name) name = nullptr;
    NETMOTH_SD_BUS_FUNCTIONS(NETMOTH_SD_BUS_POINTER)
#undef NETMOTH_SD_BUS_POINTER
};

struct MessageUnref {
    const SdBus* api;
    void operator()(sd_bus_message* message) const { api->sd_bus_message_unref(message); }
};
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

// A connection to the system bus. Every failure comes back as text saying
// why, ready for a line on standard error.
class SystemBus {
public:
    // nullopt, with why, when libsystemd or the bus is not there.
    static std::optional<SystemBus> open(std::string& why);
    SystemBus(SystemBus&& other) noexcept : api_(other.api_), bus_(std::exchange(other.bus_, nullptr)) {}
    SystemBus& operator=(SystemBus&&) = delete;
    ~SystemBus();

    const SdBus& api() const { return *api_; }

    // Calls member on destination's object; appendArguments fills the call
    // (a negative sd-bus status fails it). nullptr, with why, on an error.
    using Arguments = std::function<int(sd_bus_message*)>;
    Message call(const char* destination, const std::string& path, const char* interface, const char* member,
                 const Arguments& appendArguments, std::string& why);

    std::optional<std::int64_t> int64Property(const char* destination, const std::string& path,
                                              const char* interface, const char* member, std::string& why);
    std::optional<bool> boolProperty(const char* destination, const std::string& path, const char* interface,
                                     const char* member, std::string& why);

private:
    SystemBus(const SdBus* api, sd_bus* bus) : api_(api), bus_(bus) {}
    const SdBus* api_;
    sd_bus* bus_;
};

// What a peer's error says, shown safely: "not running" when nobody owns
// the name, else its message (or its name when it has none).
std::string errorText(const sd_bus_error& error);

}  // namespace netmoth::netmanager
