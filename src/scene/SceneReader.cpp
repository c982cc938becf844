#include "scene/SceneReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "ieee80211/Bss.h"
#include "util/Base64.h"
#include "util/Memory.h"
#include "scene/PlatformCodes.h"

// The scene is read as nlohmann's lexer streams it: each value lands in the
// member it belongs to and each object becomes values when it closes, so no
// document of the whole file is ever built. The reading keeps the rules a
// document would give: the last of repeated keys wins, a null member counts as
// absent, and of several problems the one reported is the first in the order
// the members are read below (not the file's order), unless the text is not
// JSON at all, which is always what is reported then.

namespace netmoth::scene {
namespace {

using nlohmann::json;

// --- where a value sits, and what is wrong with it --------------------------

struct Step {
    std::string_view key;  // empty: an element of an array
    std::size_t index = 0;
};

// "interfaces[0].scan.networks[3].rssi"; the document itself is "top level".
// Made only for an error.
struct Where {
    std::span<const Step> steps;
    std::optional<Step> last;  // one step further

    std::string text() const {
        if (steps.empty() && !last) return "top level";
        std::string out;
        auto append = [&out](const Step& step) {
            if (step.key.empty()) {
                out += '[' + std::to_string(step.index) + ']';
                return;
            }
            if (!out.empty()) out += '.';
            out += step.key;
        };
        for (const Step& step : steps) append(step);
        if (last) append(*last);
        return out;
    }
};

struct SceneError {
    std::string message;  // "<path>: <problem>"
};

[[noreturn]] void fail(const Where& where, std::string_view problem) {
    throw SceneError{where.text() + ": " + std::string(problem)};
}

struct IntegerRange {
    std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
};

constexpr IntegerRange kInt32{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
constexpr IntegerRange kUInt32{0, std::numeric_limits<std::uint32_t>::max()};
constexpr IntegerRange kUInt16{0, std::numeric_limits<std::uint16_t>::max()};

enum class Kind : std::uint8_t { Absent, Null, Boolean, Signed, Unsigned, Float, String, Object, Array };

// What one member or element holds: a scalar, or only the kind of a container.
struct Value {
    Kind kind = Kind::Absent;
    bool boolean = false;
    std::int64_t signedNumber = 0;
    std::uint64_t unsignedNumber = 0;
    double floatNumber = 0;
    std::string text;

    bool present() const { return kind != Kind::Absent && kind != Kind::Null; }
};

// An object or array, known only by its kind.
Value container(Kind kind) {
    Value value;
    value.kind = kind;
    return value;
}

std::string article(std::string_view noun) {
    const bool vowel = !noun.empty() && std::string_view("aeiou").find(noun.front()) != std::string_view::npos;
    return std::string(vowel ? "an " : "a ").append(noun);
}

std::string_view typeName(Kind kind) {
    switch (kind) {
        case Kind::Boolean: return "boolean";
        case Kind::Signed:
        case Kind::Unsigned:
        case Kind::Float: return "number";
        case Kind::String: return "string";
        case Kind::Object: return "object";
        case Kind::Array: return "array";
        case Kind::Absent:
        case Kind::Null: break;
    }
    return "null";
}

[[noreturn]] void failType(const Value& value, const Where& where, std::string_view expected) {
    // A non-integer number is shown, so "2.5" or "1e+30" (too big for an integer) explains itself.
    const std::string got = value.kind == Kind::Float ? json(value.floatNumber).dump()
                            : value.present()         ? article(typeName(value.kind))
                                                      : std::string("null");
    fail(where, "expected " + article(expected) + ", got " + got);
}

[[noreturn]] void failRange(const std::string& shown, const Where& where, IntegerRange range) {
    fail(where, shown + " is out of range " + std::to_string(range.min) + ".." + std::to_string(range.max));
}

std::int64_t readInteger(const Value& value, const Where& where, IntegerRange range = {}) {
    if (value.kind == Kind::Unsigned) {
        if (range.max < 0 || value.unsignedNumber > static_cast<std::uint64_t>(range.max)) {
            failRange(std::to_string(value.unsignedNumber), where, range);
        }
        return static_cast<std::int64_t>(value.unsignedNumber);
    }
    if (value.kind != Kind::Signed) failType(value, where, "integer");
    if (value.signedNumber < range.min || value.signedNumber > range.max) {
        failRange(std::to_string(value.signedNumber), where, range);
    }
    return value.signedNumber;
}

// Members: absent and null both read as nullopt.
std::optional<std::int64_t> optionalInteger(const Value& value, const Where& where, IntegerRange range = {}) {
    if (!value.present()) return std::nullopt;
    return readInteger(value, where, range);
}

std::optional<std::string> optionalString(Value& value, const Where& where) {
    if (!value.present()) return std::nullopt;
    if (value.kind != Kind::String) failType(value, where, "string");
    return std::move(value.text);
}

std::optional<bool> optionalBoolean(const Value& value, const Where& where) {
    if (!value.present()) return std::nullopt;
    if (value.kind != Kind::Boolean) failType(value, where, "boolean");
    return value.boolean;
}

// A member whose value is an object or array the reader reads into T.
template <typename T>
struct Nested {
    Value found;  // what the member holds; only its kind when a container
    std::optional<T> read;
    std::string error;  // the first problem inside, path included

    void clear() {
        found.kind = Kind::Absent;
        read.reset();
        error.clear();
    }
};

// nullptr when absent or null.
template <typename T>
T* nested(Nested<T>& member, Kind expected, const Where& where) {
    if (!member.found.present()) return nullptr;
    if (member.found.kind != expected) failType(member.found, where, expected == Kind::Object ? "object" : "array");
    if (!member.error.empty()) throw SceneError{member.error};
    return &*member.read;
}

// --- the scene's shapes -------------------------------------------------------

enum class Shape : std::uint8_t { Document, Location, Interfaces, Interface, Scan, Networks, Network, Channel, Codes };
constexpr std::size_t kShapes = 9;

bool isArray(Shape shape) { return shape == Shape::Interfaces || shape == Shape::Networks || shape == Shape::Codes; }

// The members each object reads, by name; an index into these is a member.
constexpr std::array<std::string_view, 3> kDocumentMembers{"location", "interfaces", "defaultInterface"};
constexpr std::array<std::string_view, 2> kLocationMembers{"authorizationStatus", "delivers"};
constexpr std::array<std::string_view, 5> kInterfaceMembers{"name", "ssid", "bssid", "rssi", "scan"};
constexpr std::array<std::string_view, 2> kScanMembers{"fails", "networks"};
constexpr std::array<std::string_view, 10> kNetworkMembers{"ssid",      "bssid",      "rssi",    "answersProbeFor",
                                                           "ie",        "frequency",  "capability", "channel",
                                                           "security",  "phyModes"};
constexpr std::array<std::string_view, 3> kChannelMembers{"number", "band", "width"};

std::span<const std::string_view> membersOf(Shape shape) {
    switch (shape) {
        case Shape::Document: return kDocumentMembers;
        case Shape::Location: return kLocationMembers;
        case Shape::Interface: return kInterfaceMembers;
        case Shape::Scan: return kScanMembers;
        case Shape::Network: return kNetworkMembers;
        case Shape::Channel: return kChannelMembers;
        case Shape::Interfaces:
        case Shape::Networks:
        case Shape::Codes: break;
    }
    return {};
}

struct DocumentState {
    Nested<std::optional<wifi::Permission>> location;
    Nested<std::vector<SceneInterface>> interfaces;
    Value defaultInterface;
};

struct LocationState {
    Value authorizationStatus, delivers;
};

struct InterfaceState {
    Value name, ssid, bssid, rssi;
    Nested<SceneScan> scan;
};

struct ScanState {
    Value fails;
    Nested<std::vector<SceneNetwork>> networks;
};

struct NetworkState {
    Value ssid, bssid, rssi, answersProbeFor, ie, frequency, capability;
    Nested<wifi::Channel> channel;
    Nested<std::vector<std::int64_t>> security, phyModes;
};

struct ChannelState {
    Value number, band, width;
};

// An array being read: its elements so far, or its first problem.
template <typename T>
struct ArrayState {
    std::vector<T> items;
    std::string error;
    std::size_t count = 0;  // elements met

    void clear() {
        items = {};
        error.clear();
        count = 0;
    }
};

// A network that gives a frequency or a capability is described as the radio
// reports it: the decoder derives what it leaves out, its name included.
wifi::Network describedNetwork(ieee80211::RadioFacts facts, bool radioLevel) {
    if (radioLevel) return ieee80211::networkFrom(facts);
    wifi::Network network;
    network.bssid = std::move(facts.bssid);
    network.ssid = std::move(facts.ssid);
    network.rssi = facts.signalDbm;
    network.elements = std::move(facts.elements);
    return network;
}

// The reader nlohmann's sax_parse drives. Each shape is open at most once at a
// time (the scene does not nest into itself), so each has one state.
class SceneSax {
public:
    bool null() { return scalar([](Value& v) { v.kind = Kind::Null; }); }
    bool boolean(bool value) {
        return scalar([value](Value& v) {
            v.kind = Kind::Boolean;
            v.boolean = value;
        });
    }
    bool number_integer(json::number_integer_t value) {
        return scalar([value](Value& v) {
            v.kind = Kind::Signed;
            v.signedNumber = value;
        });
    }
    bool number_unsigned(json::number_unsigned_t value) {
        return scalar([value](Value& v) {
            v.kind = Kind::Unsigned;
            v.unsignedNumber = value;
        });
    }
    bool number_float(json::number_float_t value, const json::string_t&) {
        return scalar([value](Value& v) {
            v.kind = Kind::Float;
            v.floatNumber = value;
        });
    }
    bool string(json::string_t& value) {
        return scalar([&value](Value& v) {
            v.kind = Kind::String;
            v.text.assign(value);  // into the member's own buffer, which the next network reuses
        });
    }
    bool binary(json::binary_t&) { return true; }  // JSON text has none
    bool start_object(std::size_t) { return open(Kind::Object); }
    bool start_array(std::size_t) { return open(Kind::Array); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(json::string_t& name) {
        if (skipping_ > 0) return true;
        const Shape at = shapes_.back();
        const auto members = membersOf(at);
        std::size_t found = 0;
        while (found < members.size() && members[found] != name) ++found;
        member_[index(at)] = found < members.size() ? static_cast<int>(found) : -1;
        // A repeated key replaces what the member held.
        if (found < members.size()) clearMember(at, static_cast<int>(found));
        return true;
    }

    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        if constexpr (std::is_same_v<Exception, json::parse_error>) {
            // nlohmann's message without its "[json.exception.parse_error.101] " prefix.
            std::string_view message = error.what();
            if (const auto end = message.find("] "); message.starts_with('[') && end != std::string_view::npos) {
                message.remove_prefix(end + 2);
            }
            syntaxError_ = "invalid JSON at byte " + std::to_string(error.byte) + ": " + std::string(message);
        } else {
            syntaxError_ = std::string("cannot read the scene: ") + error.what();
        }
        return false;
    }

    SceneReading result() && {
        if (syntaxError_) return {std::nullopt, std::move(*syntaxError_)};
        if (!error_.empty()) return {std::nullopt, std::move(error_)};
        return {std::move(scene_), {}};
    }

private:
    static std::size_t index(Shape shape) { return static_cast<std::size_t>(shape); }

    Where here() const { return {steps_, std::nullopt}; }
    Where at(std::string_view key) const { return {steps_, Step{key, 0}}; }
    Where element(std::size_t i) const { return {steps_, Step{{}, i}}; }

    // The message of the SceneError read() throws, or empty.
    template <typename Read>
    static std::string problemOf(Read read) {
        try {
            read();
        } catch (SceneError& error) {
            return std::move(error.message);
        }
        return {};
    }

    // --- where the next value goes

    // The value a member of the open object holds, or nullptr for a member no one reads.
    Value* memberValue(Shape shape) {
        const int member = member_[index(shape)];
        switch (shape) {
            case Shape::Document: {
                Value* values[] = {&document_.location.found, &document_.interfaces.found, &document_.defaultInterface};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Location: {
                Value* values[] = {&location_.authorizationStatus, &location_.delivers};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Interface: {
                Value* values[] = {&interface_.name, &interface_.ssid, &interface_.bssid, &interface_.rssi,
                                   &interface_.scan.found};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Scan: {
                Value* values[] = {&scan_.fails, &scan_.networks.found};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Network: {
                Value* values[] = {&network_.ssid,         &network_.bssid,          &network_.rssi,
                                   &network_.answersProbeFor, &network_.ie,           &network_.frequency,
                                   &network_.capability,   &network_.channel.found,  &network_.security.found,
                                   &network_.phyModes.found};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Channel: {
                Value* values[] = {&channel_.number, &channel_.band, &channel_.width};
                return member < 0 ? nullptr : values[member];
            }
            case Shape::Interfaces:
            case Shape::Networks:
            case Shape::Codes: break;
        }
        return nullptr;
    }

    void clearMember(Shape shape, int member) {
        if (shape == Shape::Document && member == 0) return document_.location.clear();
        if (shape == Shape::Document && member == 1) return document_.interfaces.clear();
        if (shape == Shape::Interface && member == 4) return interface_.scan.clear();
        if (shape == Shape::Scan && member == 1) return scan_.networks.clear();
        if (shape == Shape::Network && member == 7) return network_.channel.clear();
        if (shape == Shape::Network && member == 8) return network_.security.clear();
        if (shape == Shape::Network && member == 9) return network_.phyModes.clear();
        if (Value* value = memberValue(shape)) value->kind = Kind::Absent;
    }

    // The shape a member's container opens, when it is the kind the member reads.
    static std::optional<Shape> childOf(Shape shape, int member, Kind kind) {
        const bool object = kind == Kind::Object;
        if (shape == Shape::Document && member == 0 && object) return Shape::Location;
        if (shape == Shape::Document && member == 1 && !object) return Shape::Interfaces;
        if (shape == Shape::Interface && member == 4 && object) return Shape::Scan;
        if (shape == Shape::Scan && member == 1 && !object) return Shape::Networks;
        if (shape == Shape::Network && member == 7 && object) return Shape::Channel;
        if (shape == Shape::Network && (member == 8 || member == 9) && !object) return Shape::Codes;
        return std::nullopt;
    }

    template <typename Fill>
    bool scalar(Fill fill) {
        if (skipping_ > 0) return true;
        if (shapes_.empty()) {  // the document is not an object
            Value value;
            fill(value);
            error_ = problemOf([&] { failType(value, here(), "object"); });
            return true;
        }
        const Shape shape = shapes_.back();
        if (!isArray(shape)) {
            if (Value* value = memberValue(shape)) fill(*value);
            return true;
        }
        fill(scratch_);
        scalarElement(shape, scratch_);
        return true;
    }

    void scalarElement(Shape shape, const Value& value) {
        if (shape == Shape::Codes) {
            const std::size_t i = codes_.count++;
            if (!codes_.error.empty()) return;
            codes_.error = problemOf([&] { codes_.items.push_back(readInteger(value, element(i))); });
            return;
        }
        auto& array = shape == Shape::Interfaces ? interfaces_.error : networks_.error;
        const std::size_t i = shape == Shape::Interfaces ? interfaces_.count++ : networks_.count++;
        if (array.empty()) array = problemOf([&] { failType(value, element(i), "object"); });
    }

    bool open(Kind kind) {
        if (skipping_ > 0) {
            ++skipping_;
            return true;
        }
        if (shapes_.empty()) {
            if (kind == Kind::Object) return enter(Shape::Document, std::nullopt), true;
            error_ = problemOf([&] { failType(container(kind), here(), "object"); });
            skipping_ = 1;
            return true;
        }
        const Shape shape = shapes_.back();
        if (isArray(shape)) {
            openElement(shape, kind);
            return true;
        }
        const int member = member_[index(shape)];
        Value* value = memberValue(shape);
        if (value == nullptr) {
            skipping_ = 1;
            return true;
        }
        value->kind = kind;
        if (const auto child = childOf(shape, member, kind)) {
            enter(*child, Step{membersOf(shape)[static_cast<std::size_t>(member)], 0});
        } else {
            skipping_ = 1;  // the wrong kind: the read names it
        }
        return true;
    }

    void openElement(Shape shape, Kind kind) {
        if (shape == Shape::Codes) {
            const std::size_t i = codes_.count++;
            if (codes_.error.empty()) codes_.error = problemOf([&] { failType(container(kind), element(i), "integer"); });
            skipping_ = 1;
            return;
        }
        const bool interfaces = shape == Shape::Interfaces;
        std::string& error = interfaces ? interfaces_.error : networks_.error;
        const std::size_t i = interfaces ? interfaces_.count++ : networks_.count++;
        if (!error.empty()) {  // the array is already refused: its later elements change nothing
            skipping_ = 1;
            return;
        }
        if (kind != Kind::Object) {
            error = problemOf([&] { failType(container(kind), element(i), "object"); });
            skipping_ = 1;
            return;
        }
        enter(interfaces ? Shape::Interface : Shape::Network, Step{{}, i});
    }

    void enter(Shape shape, std::optional<Step> step) {
        shapes_.push_back(shape);
        if (step) steps_.push_back(*step);
        member_[index(shape)] = -1;
        switch (shape) {
            case Shape::Document: document_ = {}; break;
            case Shape::Location: location_ = {}; break;
            case Shape::Interfaces: interfaces_.clear(); break;
            case Shape::Interface:
                interface_.name.kind = interface_.ssid.kind = interface_.bssid.kind = interface_.rssi.kind =
                    Kind::Absent;
                interface_.scan.clear();
                break;
            case Shape::Scan:
                scan_.fails.kind = Kind::Absent;
                scan_.networks.clear();
                break;
            case Shape::Networks: networks_.clear(); break;
            case Shape::Network:
                for (Value* value : {&network_.ssid, &network_.bssid, &network_.rssi, &network_.answersProbeFor,
                                     &network_.ie, &network_.frequency, &network_.capability}) {
                    value->kind = Kind::Absent;
                }
                network_.channel.clear();
                network_.security.clear();
                network_.phyModes.clear();
                break;
            case Shape::Channel: channel_.number.kind = channel_.band.kind = channel_.width.kind = Kind::Absent; break;
            case Shape::Codes: codes_.clear(); break;
        }
    }

    bool close() {
        if (skipping_ > 0) {
            --skipping_;
            return true;
        }
        const Shape shape = shapes_.back();
        finish(shape);
        shapes_.pop_back();
        if (shape != Shape::Document) steps_.pop_back();
        return true;
    }

    // --- each shape becomes values when it closes, its members read in order

    template <typename T, typename Read>
    void into(Nested<T>& member, Read read) {
        member.error = problemOf([&] { member.read = read(); });
    }

    template <typename T, typename U>
    static void handOver(Nested<T>& member, ArrayState<U>& array) {
        if (array.error.empty()) {
            member.read = std::move(array.items);
        } else {
            member.error = std::move(array.error);
        }
    }

    void finish(Shape shape) {
        switch (shape) {
            case Shape::Document: error_ = problemOf([&] { readDocument(); }); break;
            case Shape::Location: into(document_.location, [&] { return readPermission(); }); break;
            case Shape::Interfaces: handOver(document_.interfaces, interfaces_); break;
            case Shape::Interface: {
                if (interfaces_.error.empty()) interfaces_.error = problemOf([&] { readInterface(); });
                break;
            }
            case Shape::Scan: into(interface_.scan, [&] { return readScan(); }); break;
            case Shape::Networks: handOver(scan_.networks, networks_); break;
            case Shape::Network: {
                if (networks_.error.empty()) networks_.error = problemOf([&] { readNetwork(); });
                break;
            }
            case Shape::Channel:
                into(network_.channel, [&] {
                    // Missing members take the "unknown" code, 0.
                    return channelFromCodes({.number = optionalInteger(channel_.number, at("number")).value_or(0),
                                             .band = optionalInteger(channel_.band, at("band")).value_or(0),
                                             .width = optionalInteger(channel_.width, at("width")).value_or(0)});
                });
                break;
            case Shape::Codes:
                handOver(member_[index(Shape::Network)] == 8 ? network_.security : network_.phyModes, codes_);
                break;
        }
    }

    std::optional<wifi::Permission> readPermission() {
        const std::int64_t status =
            optionalInteger(location_.authorizationStatus, at("authorizationStatus"), kInt32).value_or(3);
        if (!optionalBoolean(location_.delivers, at("delivers")).value_or(true)) return std::nullopt;
        return permissionFromStatus(status);
    }

    std::optional<wifi::Bytes> readElements() {
        const Value& text = network_.ie;
        if (!text.present()) return std::nullopt;
        if (text.kind != Kind::String) failType(text, at("ie"), "string");
        auto bytes = util::decodeBase64(text.text);
        if (!bytes) fail(at("ie"), "not valid Base64 (standard alphabet, \"=\" padding, no line breaks)");
        return bytes;
    }

    // Values are read in the order an error names the first bad one.
    void readNetwork() {
        NetworkState& object = network_;
        ieee80211::RadioFacts facts;
        facts.ssid = optionalString(object.ssid, at("ssid"));
        facts.bssid = optionalString(object.bssid, at("bssid"));
        facts.signalDbm = optionalInteger(object.rssi, at("rssi")).value_or(0);
        SceneNetwork scanned;
        scanned.answersProbeFor = optionalString(object.answersProbeFor, at("answersProbeFor"));
        facts.elements = readElements();
        if (auto frequency = optionalInteger(object.frequency, at("frequency"), kUInt32)) {
            facts.frequencyMHz = static_cast<std::uint32_t>(*frequency);
        }
        const auto capability = optionalInteger(object.capability, at("capability"), kUInt16);
        facts.capability = static_cast<std::uint16_t>(capability.value_or(0));
        const wifi::Channel* channel = nested(object.channel, Kind::Object, at("channel"));
        const auto* security = nested(object.security, Kind::Array, at("security"));
        const auto* phyModes = nested(object.phyModes, Kind::Array, at("phyModes"));

        const bool radioLevel = facts.frequencyMHz || capability;
        scanned.network = describedNetwork(std::move(facts), radioLevel);
        // An explicit value always wins over what the radio facts derive.
        if (channel) scanned.network.channel = *channel;
        if (security) scanned.network.security = securityFromCodes(*security);
        if (phyModes) scanned.network.highestPhyMode = highestPhyModeFromCodes(*phyModes);
        std::vector<SceneNetwork>& items = networks_.items;
        if (items.size() == items.capacity()) {  // grown here, so a long list gets huge pages
            items.reserve(std::max<std::size_t>(16, 2 * items.capacity()));
            util::adviseHugePages(items.data(), items.capacity() * sizeof(SceneNetwork));
        }
        items.push_back(std::move(scanned));
    }

    SceneScan readScan() {
        SceneScan scan;
        scan.fails = optionalBoolean(scan_.fails, at("fails")).value_or(false);
        if (auto* networks = nested(scan_.networks, Kind::Array, at("networks"))) scan.networks = std::move(*networks);
        return scan;
    }

    void readInterface() {
        SceneInterface read;
        read.interface.name = optionalString(interface_.name, at("name"));
        read.interface.ssid = optionalString(interface_.ssid, at("ssid"));
        read.interface.bssid = optionalString(interface_.bssid, at("bssid"));
        read.interface.rssi = optionalInteger(interface_.rssi, at("rssi")).value_or(0);
        if (auto* scan = nested(interface_.scan, Kind::Object, at("scan"))) read.scan = std::move(*scan);
        interfaces_.items.push_back(std::move(read));
    }

    void readDocument() {
        if (auto* permission = nested(document_.location, Kind::Object, at("location"))) {
            scene_.permission = *permission;
        } else {
            scene_.permission = wifi::Permission::Authorized;
        }
        // "interfaces" absent: an empty list; null: the platform gives no list.
        if (document_.interfaces.found.kind == Kind::Null) {
            scene_.interfaces = std::nullopt;
        } else if (auto* interfaces = nested(document_.interfaces, Kind::Array, at("interfaces"))) {
            scene_.interfaces = std::move(*interfaces);
        } else {
            scene_.interfaces.emplace();
        }
        const auto index = optionalInteger(document_.defaultInterface, at("defaultInterface"));
        if (!index) return;
        const std::size_t count = scene_.interfaces ? scene_.interfaces->size() : 0;
        if (*index < 0 || static_cast<std::uint64_t>(*index) >= count) {
            fail(at("defaultInterface"), "index " + std::to_string(*index) + " is out of range: the scene has " +
                                             std::to_string(count) + " interface(s)");
        }
        scene_.defaultInterface = static_cast<std::size_t>(*index);
    }

    std::vector<Shape> shapes_;  // the open containers the reader follows
    std::vector<Step> steps_;    // where each but the document sits
    std::size_t skipping_ = 0;   // depth inside a value no one reads
    std::array<int, kShapes> member_{};  // per open object: the member whose value comes next, or -1
    Value scratch_;                      // a scalar element of an array

    DocumentState document_;
    LocationState location_;
    ArrayState<SceneInterface> interfaces_;
    InterfaceState interface_;
    ScanState scan_;
    ArrayState<SceneNetwork> networks_;
    NetworkState network_;
    ChannelState channel_;
    ArrayState<std::int64_t> codes_;

    Scene scene_;
    std::string error_;                        // the first problem in reading order
    std::optional<std::string> syntaxError_;   // the text is not JSON: this wins
};

}  // namespace

SceneReading readScene(std::string_view text) {
    // nlohmann takes a NUL byte for the end of the input and would accept
    // whatever follows; no JSON text holds a raw NUL anywhere.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        return {std::nullopt, "invalid JSON at byte " + std::to_string(nul + 1) + ": a NUL byte"};
    }
    try {
        SceneSax reader;
        json::sax_parse(text.begin(), text.end(), &reader);
        return std::move(reader).result();
    } catch (const std::bad_alloc&) {
        return {std::nullopt, "out of memory"};
    } catch (const std::exception& error) {
        return {std::nullopt, std::string("cannot read the scene: ") + error.what()};
    }
}

}  // namespace netmoth::scene
