#include "netmanager/SystemBus.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include <cstring>
#include <utility>

#include "util/Diagnostics.h"

namespace netmoth::netmanager {
namespace {

// A reply a person waits for: a peer that takes longer is treated as absent.
constexpr std::uint64_t kCallTimeoutUsec = 5'000'000;

// Resolved once; nullptr when the library or a function is missing.
const SdBus* loadSdBus() {
    static const SdBus* const loaded = [] () -> const SdBus* {
        void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static SdBus api;
        bool complete = true;
#define NETMOTH_SD_BUS_RESOLVE(name)                                           \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(library, #name));    \
    complete = complete && api.name != nullptr;
        NETMOTH_SD_BUS_FUNCTIONS(NETMOTH_SD_BUS_RESOLVE)
#undef NETMOTH_SD_BUS_RESOLVE
        return complete ? &api : nullptr;
    }();
    return loaded;
}

// Frees what an sd_bus_error holds when it goes out of scope.
class ScopedError {
public:
    explicit ScopedError(const SdBus& api) : api_(api) {}
    ~ScopedError() { api_.sd_bus_error_free(&error); }
    ScopedError(const ScopedError&) = delete;
    ScopedError& operator=(const ScopedError&) = delete;
    sd_bus_error error{};

private:
    const SdBus& api_;
};

std::string statusText(int status) { return std::strerror(-status); }

}  // namespace

std::string errorText(const sd_bus_error& error) {
    if (error.name != nullptr && (std::strcmp(error.name, "org.freedesktop.DBus.Error.ServiceUnknown") == 0 ||
                                  std::strcmp(error.name, "org.freedesktop.DBus.Error.NameHasNoOwner") == 0)) {
        return "not running";
    }
    if (error.message != nullptr && *error.message != '\0') return util::printable(error.message);
    if (error.name != nullptr) return util::printable(error.name);
    return "failed";
}

std::optional<SystemBus> SystemBus::open(std::string& why) {
    // Where sd-bus finds the system bus unless told otherwise: without it
    // there is no one to ask, and loading the library would cost milliseconds.
    if (secure_getenv("DBUS_SYSTEM_BUS_ADDRESS") == nullptr && access("/run/dbus/system_bus_socket", F_OK) != 0) {
        why = "the system bus is not running";
        return std::nullopt;
    }
    const SdBus* api = loadSdBus();
    if (api == nullptr) {
        why = "libsystemd.so.0 (sd-bus) is not installed";
        return std::nullopt;
    }
    sd_bus* bus = nullptr;
    if (const int status = api->sd_bus_open_system(&bus); status < 0) {
        why = "the system bus cannot be reached (" + statusText(status) + ")";
        return std::nullopt;
    }
    api->sd_bus_set_method_call_timeout(bus, kCallTimeoutUsec);
    return SystemBus(api, bus);
}

SystemBus::~SystemBus() {
    if (bus_ != nullptr) api_->sd_bus_flush_close_unref(bus_);
}

Message SystemBus::call(const char* destination, const std::string& path, const char* interface, const char* member,
                        const Arguments& appendArguments, std::string& why) {
    sd_bus_message* raw = nullptr;
    int status = api_->sd_bus_message_new_method_call(bus_, &raw, destination, path.c_str(), interface, member);
    const Message request(raw, MessageUnref{api_});
    if (status >= 0 && appendArguments) status = appendArguments(raw);
    if (status < 0) {
        why = "the call cannot be made (" + statusText(status) + ")";
        return Message(nullptr, MessageUnref{api_});
    }
    ScopedError failure(*api_);
    sd_bus_message* reply = nullptr;
    if (api_->sd_bus_call(bus_, raw, 0, &failure.error, &reply) < 0) why = errorText(failure.error);
    return Message(reply, MessageUnref{api_});
}

std::optional<std::int64_t> SystemBus::int64Property(const char* destination, const std::string& path,
                                                     const char* interface, const char* member, std::string& why) {
    ScopedError failure(*api_);
    std::int64_t value = 0;
    if (api_->sd_bus_get_property_trivial(bus_, destination, path.c_str(), interface, member, &failure.error, 'x',
                                          &value) < 0) {
        why = errorText(failure.error);
        return std::nullopt;
    }
    return value;
}

std::optional<bool> SystemBus::boolProperty(const char* destination, const std::string& path, const char* interface,
                                            const char* member, std::string& why) {
    ScopedError failure(*api_);
    int value = 0;  // sd-bus reads a D-Bus boolean as an int
    if (api_->sd_bus_get_property_trivial(bus_, destination, path.c_str(), interface, member, &failure.error, 'b',
                                          &value) < 0) {
        why = errorText(failure.error);
        return std::nullopt;
    }
    return value != 0;
}

}  // namespace netmoth::netmanager
