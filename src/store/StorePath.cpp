#include "store/StorePath.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace netmoth::store {
namespace {

std::optional<std::filesystem::path> absolutePath(const std::optional<std::string>& value) {
    if (!value || value->empty() || value->front() != '/') return std::nullopt;
    return std::filesystem::path(*value);
}

std::optional<std::string> secureEnvironment(std::string_view name) {
    const char* value = secure_getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> accountHomeOfRealUser() {
    long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    // The suggested size is only a hint: grow until the entry fits.
    while ((error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (1u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (error != 0 || found == nullptr || found->pw_dir == nullptr) return std::nullopt;
    return std::string(found->pw_dir);
}

}  // namespace

std::optional<std::filesystem::path> resolveStorePath(const EnvironmentLookup& environment,
                                                      const AccountHomeLookup& accountHome) {
    const std::filesystem::path relative = std::filesystem::path("netmoth-companion") / "defaults.json";
    if (auto configHome = absolutePath(environment("XDG_CONFIG_HOME"))) return *configHome / relative;
    auto home = absolutePath(environment("HOME"));
    if (!home) home = absolutePath(accountHome());
    if (!home) return std::nullopt;
    return *home / ".config" / relative;
}

std::optional<std::filesystem::path> standardStorePath() {
    return resolveStorePath(secureEnvironment, accountHomeOfRealUser);
}

}  // namespace netmoth::store
