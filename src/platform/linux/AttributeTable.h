#pragma once
// libnl's attribute parsing over bytes of unknown origin: the bytes are copied
// to aligned storage (libnl reads attribute headers in place) and every
// attribute a caller reads is length-checked by a policy first.

#include <netlink/attr.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/WiFi.h"

namespace netmoth::linux_backend {

// A policy for attribute types 0..MaxType; types left unset are not checked
// and must not be read.
template <int MaxType>
class Policy {
public:
    Policy& expect(int type, std::uint16_t kind, std::uint16_t minLength = 0, std::uint16_t maxLength = 0) {
        entries_[static_cast<std::size_t>(type)] = nla_policy{kind, minLength, maxLength};
        return *this;
    }
    const nla_policy* data() const { return entries_.data(); }

private:
    std::array<nla_policy, MaxType + 1> entries_{};
};

template <int MaxType>
using AttributeIndex = std::array<nlattr*, MaxType + 1>;

class AttributeTable {
public:
    explicit AttributeTable(std::span<const std::uint8_t> bytes);

    // Indexes the top-level attributes; false when one breaks the policy.
    template <int MaxType>
    bool parse(AttributeIndex<MaxType>& index, const Policy<MaxType>& policy) {
        return parseInto(index.data(), MaxType, policy.data());
    }

private:
    bool parseInto(nlattr** index, int maxType, const nla_policy* policy);

    std::vector<std::uint32_t> words_;
    std::size_t size_;
};

// Indexes the attributes nested in one (none when it is absent); false when
// one breaks the policy.
template <int MaxType>
bool parseNested(AttributeIndex<MaxType>& index, nlattr* nest, const Policy<MaxType>& policy) {
    return nest == nullptr || nla_parse_nested(index.data(), MaxType, nest, policy.data()) == 0;
}

platform::Bytes bytesOf(const nlattr* attribute);

// Text of a string attribute up to its first NUL.
std::string textOf(const nlattr* attribute);

// An Ethernet address attribute as lower-case colon hex; nullopt unless present
// and exactly 6 bytes.
std::optional<std::string> macTextOf(const nlattr* attribute);

template <class Value, class Read>
std::optional<Value> optionalOf(const nlattr* attribute, Read read) {
    if (attribute == nullptr) return std::nullopt;
    return static_cast<Value>(read(attribute));
}

}  // namespace netmoth::linux_backend
