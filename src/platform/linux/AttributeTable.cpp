#include "platform/linux/AttributeTable.h"

#include <climits>
#include <cstring>

namespace netmoth::linux_backend {

AttributeTable::AttributeTable(std::span<const std::uint8_t> bytes)
    : words_((bytes.size() + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t)), size_(bytes.size()) {
    if (!bytes.empty()) std::memcpy(words_.data(), bytes.data(), bytes.size());
}

bool AttributeTable::parseInto(nlattr** index, int maxType, const nla_policy* policy) {
    if (size_ > static_cast<std::size_t>(INT_MAX)) return false;
    auto* head = reinterpret_cast<nlattr*>(words_.data());
    return nla_parse(index, maxType, head, static_cast<int>(size_), policy) == 0;
}

platform::Bytes bytesOf(const nlattr* attribute) {
    const auto* begin = static_cast<const std::uint8_t*>(nla_data(attribute));
    return platform::Bytes(begin, begin + nla_len(attribute));
}

std::string textOf(const nlattr* attribute) {
    const auto* text = static_cast<const char*>(nla_data(attribute));
    return std::string(text, strnlen(text, static_cast<std::size_t>(nla_len(attribute))));
}

std::optional<std::string> macTextOf(const nlattr* attribute) {
    static constexpr char digits[] = "0123456789abcdef";
    if (attribute == nullptr || nla_len(attribute) != 6) return std::nullopt;
    const auto* octets = static_cast<const std::uint8_t*>(nla_data(attribute));
    std::string text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) text += ':';
        text += digits[octets[i] >> 4];
        text += digits[octets[i] & 0x0f];
    }
    return text;
}

}  // namespace netmoth::linux_backend
