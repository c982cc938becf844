#pragma once
// Reads fields off the front of a byte view; every read checks what remains
// first and yields nullopt instead of reading past the end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace netmoth::ieee80211 {

using ByteView = std::span<const std::uint8_t>;

class ByteReader {
public:
    explicit ByteReader(ByteView bytes) : rest_(bytes) {}

    std::size_t remaining() const { return rest_.size(); }

    std::optional<ByteView> take(std::size_t count) {
        if (count > rest_.size()) return std::nullopt;
        const ByteView taken = rest_.first(count);
        rest_ = rest_.subspan(count);
        return taken;
    }

    std::optional<std::uint8_t> u8() {
        const auto bytes = take(1);
        if (!bytes) return std::nullopt;
        return (*bytes)[0];
    }

    std::optional<std::uint16_t> le16() {
        const auto bytes = take(2);
        if (!bytes) return std::nullopt;
        return static_cast<std::uint16_t>((*bytes)[0] | ((*bytes)[1] << 8));
    }

    // A cipher or AKM suite selector: OUI then type, as one big-endian number.
    std::optional<std::uint32_t> suite() {
        const auto bytes = take(4);
        if (!bytes) return std::nullopt;
        return static_cast<std::uint32_t>((*bytes)[0]) << 24 | static_cast<std::uint32_t>((*bytes)[1]) << 16 |
               static_cast<std::uint32_t>((*bytes)[2]) << 8 | (*bytes)[3];
    }

private:
    ByteView rest_;
};

}  // namespace netmoth::ieee80211
