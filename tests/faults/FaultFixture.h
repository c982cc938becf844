#pragma once
// Launches the built binary the way an ordinary user would: when the tests run
// as root, the tool runs as user nobody (through setpriv), so permission modes
// really apply; the private folder is handed to that user before each launch.

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "e2e/E2eFixture.h"

namespace netmoth::faults {

namespace fs = std::filesystem;
using nlohmann::json;

inline constexpr const char* kSetpriv = "/usr/bin/setpriv";

struct Account {
    uid_t uid;
    gid_t gid;
};

// The account the tool runs as: nobody when the tests run as root and may
// switch users, none (run as we are) otherwise.
inline std::optional<Account> toolAccount() {
    if (geteuid() != 0) return std::nullopt;
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) return std::nullopt;
    return Account{nobody->pw_uid, nobody->pw_gid};
}

inline std::vector<std::string> asAccount(const Account& account, const std::string& binary,
                                          const std::vector<std::string>& arguments) {
    std::vector<std::string> wrapped{"--reuid=" + std::to_string(account.uid),
                                     "--regid=" + std::to_string(account.gid), "--clear-groups", "--", binary};
    wrapped.insert(wrapped.end(), arguments.begin(), arguments.end());
    return wrapped;
}

// Whether root may become nobody here (a container may withhold CAP_SETUID).
inline bool canSwitchToNobody() {
    static const bool able = [] {
        const std::optional<Account> account = toolAccount();
        if (!account) return false;
        testing::ToolLaunch probe;
        probe.arguments = asAccount(*account, "/bin/true", {});
        return testing::runTool(kSetpriv, probe).exitCode == 0;
    }();
    return able;
}

// True when the launched tool is subject to file permission bits.
inline bool permissionsApply() { return geteuid() != 0 || canSwitchToNobody(); }

// A scene whose one scan lists a network for each name (BSSIDs 0a:...), then
// `hiddenCount` hidden networks with BSSIDs 02:00:00:xx:xx:xx numbered from
// `firstHidden`.
inline json sceneWith(const std::vector<std::string>& names, int firstHidden, int hiddenCount) {
    json networks = json::array();
    for (std::size_t i = 0; i < names.size(); ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "0a:00:00:00:%02zx:%02zx", (i >> 8) & 0xff, i & 0xff);
        networks.push_back({{"ssid", names[i]}, {"bssid", bssid}, {"rssi", -40}});
    }
    for (int i = firstHidden; i < firstHidden + hiddenCount; ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:%02x:%02x:%02x", (i >> 16) & 0xff, (i >> 8) & 0xff, i & 0xff);
        networks.push_back({{"bssid", bssid}, {"rssi", -70}});
    }
    return {{"defaultInterface", 0}, {"interfaces", {{{"name", "wlan0"}, {"scan", {{"networks", networks}}}}}}};
}

inline void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

class FaultTest : public e2e::ToolTest {
protected:
    void TearDown() override {
        // Give every folder back to us, or the fixture could not remove them.
        std::error_code ignored;
        fs::permissions(home_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(home_, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored)) {
            if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }

    // A scene file in the private folder; its path goes in NETMOTH_SCENE.
    std::string writeScene(const std::string& name, const std::string& text) const {
        const fs::path file = home_ / name;
        writeBytes(file, text);
        return file.string();
    }

    testing::ToolLaunch launchOn(const std::string& scenePath, std::vector<std::string> arguments) const {
        testing::ToolLaunch l = launch("", std::move(arguments));
        l.environment["NETMOTH_SCENE"] = scenePath;
        return l;
    }

    // Rewrites a launch of `binary` so that it runs as the tool's account.
    std::pair<std::string, testing::ToolLaunch> unprivileged(const std::string& binary, testing::ToolLaunch l) const {
        if (!canSwitchToNobody()) return {binary, std::move(l)};
        const Account account = *toolAccount();
        handOver(account);
        l.arguments = asAccount(account, binary, l.arguments);
        return {kSetpriv, std::move(l)};
    }

    testing::ToolRun runTool(testing::ToolLaunch l, const std::string& binary = NETMOTH_BINARY) const {
        auto [program, launchAs] = unprivileged(binary, std::move(l));
        return testing::runTool(program, launchAs);
    }

    int startTool(testing::ToolLaunch l) const {
        auto [program, launchAs] = unprivileged(NETMOTH_BINARY, std::move(l));
        return testing::startTool(program, launchAs);
    }

    json storedIndexIn(const fs::path& store) const {
        return json::parse(e2e::readFile(store)).at("hiddenSsidIndexByBssid");
    }

private:
    void handOver(const Account& account) const {
        lchown(home_.c_str(), account.uid, account.gid);
        for (const auto& entry : fs::recursive_directory_iterator(home_)) {
            lchown(entry.path().c_str(), account.uid, account.gid);
        }
    }
};

}  // namespace netmoth::faults
