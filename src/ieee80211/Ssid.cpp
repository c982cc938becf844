// Network names: SSID bytes are not promised to be any encoding. UTF-8 is
// taken as sent; anything else is read as Windows-1252, the legacy encoding
// many access points use.

#include <algorithm>
#include <array>
#include <string_view>

#include "ieee80211/Bss.h"
#include "util/Utf8.h"

namespace netmoth::ieee80211 {
namespace {

constexpr char32_t kUndefined = 0xFFFF;  // a noncharacter, never a mapping

// 0x80..0x9F; every other byte is the Latin-1 code point of the same value.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, kUndefined, 0x201A,     0x0192, 0x201E,     0x2026,     0x2020, 0x2021,     0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152,     kUndefined, 0x017D, kUndefined, kUndefined, 0x2018, 0x2019,     0x201C, 0x201D, 0x2022,
    0x2013, 0x2014,     0x02DC,     0x2122, 0x0161,     0x203A,     0x0153, kUndefined, 0x017E, 0x0178,
};

char32_t codePointOf(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControlRange[byte - 0x80U];
    return byte;
}

// Windows-1252 maps only into the Basic Multilingual Plane: at most three bytes.
void appendUtf8(std::string& out, char32_t codePoint) {
    const auto put = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

// nullopt when a byte has no character in Windows-1252 (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::optional<std::string> windows1252ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const auto byte : bytes) {
        const char32_t codePoint = codePointOf(byte);
        if (codePoint == kUndefined) return std::nullopt;
        appendUtf8(text, codePoint);
    }
    return text;
}

}  // namespace

std::optional<std::string> ssidText(std::span<const std::uint8_t> ssidBytes) {
    const bool hidden = std::all_of(ssidBytes.begin(), ssidBytes.end(), [](std::uint8_t b) { return b == 0; });
    if (hidden) return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(ssidBytes.data()), ssidBytes.size());
    if (util::isValidUtf8(text)) return std::string(text);
    return windows1252ToUtf8(ssidBytes);
}

}  // namespace netmoth::ieee80211
