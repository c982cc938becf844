#pragma once
// What the radio tells, as plain values: the interfaces, the networks a scan
// found, the permission. Every backend answers with these; the reports are
// functions of them.

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace netmoth::wifi {

using Bytes = std::vector<std::uint8_t>;

// The security types an answer can name, in the order it lists them:
// personal before enterprise, each WPA3 type after its WPA2 sibling,
// dynamic WEP last.
enum class Security : std::uint8_t {
    None,
    Wep,
    WpaPersonal,
    WpaWpa2Personal,
    Wpa2Personal,
    Wpa3Personal,
    WpaEnterprise,
    WpaWpa2Enterprise,
    Wpa2Enterprise,
    Wpa3Enterprise,
    DynamicWep,
};
inline constexpr std::size_t kSecurityCount = 11;

class SecuritySet {
public:
    SecuritySet() = default;
    SecuritySet(std::initializer_list<Security> members) {
        for (const Security member : members) add(member);
    }
    void add(Security member) { bits_.set(static_cast<std::size_t>(member)); }
    bool contains(Security member) const { return bits_.test(static_cast<std::size_t>(member)); }
    bool empty() const { return bits_.none(); }
    friend bool operator==(const SecuritySet&, const SecuritySet&) = default;

private:
    std::bitset<kSecurityCount> bits_;
};

// 802.11 PHY modes, numbered as the answer's "wifiType" prints them. None is a
// mode a platform may claim ("no PHY mode"), distinct from knowing of none.
enum class PhyMode : std::uint8_t { None = 0, A = 1, B = 2, G = 3, N = 4, AC = 5, AX = 6 };

// Where a BSS sits. Width and band are in MHz; 0 means the radio could not tell.
struct Channel {
    std::int64_t number = 0;
    std::uint32_t widthMHz = 0;  // 20, 40, 80, 160, 320
    std::uint32_t bandMHz = 0;   // 2400, 5000, 6000
    friend bool operator==(const Channel&, const Channel&) = default;
};

// One BSS a scan found. An absent value is one the radio did not give.
struct Network {
    std::optional<std::string> bssid;
    std::optional<std::string> ssid;  // absent or empty: the network hides its name
    std::int64_t rssi = 0;            // dBm
    std::optional<Bytes> elements;    // information elements as received
    std::optional<Channel> channel;
    SecuritySet security;
    std::optional<PhyMode> highestPhyMode;  // absent: no PHY mode is known
    friend bool operator==(const Network&, const Network&) = default;
};

// One Wi-Fi interface and the network it is joined to.
struct Interface {
    std::optional<std::string> name;   // absent for a device without a netdev (P2P)
    std::optional<std::string> ssid;   // absent when joined to no network
    std::optional<std::string> bssid;
    std::int64_t rssi = 0;  // dBm of the joined network; 0 when unknown
    friend bool operator==(const Interface&, const Interface&) = default;
};

enum class Permission { NotDetermined, Denied, Authorized };

}  // namespace netmoth::wifi
