#include "util/Base64.h"

#include <array>

namespace netmoth::util {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr auto kDecode = makeDecodeTable();

}  // namespace

std::string encodeBase64(std::span<const std::uint8_t> bytes) {
    // Sized once and filled by index: appending char by char re-checks the
    // capacity for every output character.
    std::string out((bytes.size() + 2) / 3 * 4, '=');
    char* next = out.data();
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        *next++ = kAlphabet[(v >> 18) & 63];
        *next++ = kAlphabet[(v >> 12) & 63];
        *next++ = kAlphabet[(v >> 6) & 63];
        *next++ = kAlphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) | (rest == 2 ? std::uint32_t{bytes[i + 1]} << 8 : 0);
        *next++ = kAlphabet[(v >> 18) & 63];
        *next++ = kAlphabet[(v >> 12) & 63];
        if (rest == 2) *next = kAlphabet[(v >> 6) & 63];
    }
    return out;
}

std::optional<Bytes> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::int8_t d = k < 4 - padding ? kDecode[static_cast<unsigned char>(text[i + k])] : 0;
            if (d < 0) return std::nullopt;
            v = (v << 6) | static_cast<std::uint32_t>(d);
        }
        const std::uint8_t b[3] = {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v)};
        // The bits under the padding must be zero, or two texts would decode alike.
        if ((padding == 1 && b[2] != 0) || (padding == 2 && b[1] != 0)) return std::nullopt;
        out.insert(out.end(), b, b + 3 - padding);
    }
    return out;
}

}  // namespace netmoth::util
