#pragma once
// UTF-8 as every part of the program reads outside text: strictly (no overlong
// forms, no surrogates, nothing past U+10FFFF), with U+FFFD for what is not.

#include <cstddef>
#include <string>
#include <string_view>

namespace netmoth::util {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// One decoding step. An ill-formed sequence yields U+FFFD with the length of
// its maximal subpart, so a caller always advances by at least one byte.
struct DecodedCodePoint {
    char32_t value;
    std::size_t length;
    bool valid;
};

// Decodes the code point that starts at bytes[offset]; offset < bytes.size().
DecodedCodePoint decodeCodePointAt(std::string_view bytes, std::size_t offset);

// Valid UTF-8 passes unchanged; each maximal invalid subpart becomes U+FFFD.
std::string decodeUtf8Lossy(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

}  // namespace netmoth::util
