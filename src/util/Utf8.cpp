#include "util/Utf8.h"

#include <optional>

namespace netmoth::util {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// What a lead byte promises. Narrowing the second byte's range is what rules
// out overlongs, UTF-16 surrogates and values above U+10FFFF.
struct LeadByte {
    std::size_t continuationCount;
    unsigned char secondMin;
    unsigned char secondMax;
    char32_t payload;
};

std::optional<LeadByte> classifyLeadByte(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return LeadByte{1, 0x80, 0xBF, lead & 0x1Fu};
    if (lead == 0xE0) return LeadByte{2, 0xA0, 0xBF, 0x0};
    if (lead == 0xED) return LeadByte{2, 0x80, 0x9F, 0xD};
    if (lead >= 0xE1 && lead <= 0xEF) return LeadByte{2, 0x80, 0xBF, lead & 0x0Fu};
    if (lead == 0xF0) return LeadByte{3, 0x90, 0xBF, 0x0};
    if (lead >= 0xF1 && lead <= 0xF3) return LeadByte{3, 0x80, 0xBF, lead & 0x07u};
    if (lead == 0xF4) return LeadByte{3, 0x80, 0x8F, 0x4};
    return std::nullopt;
}

DecodedCodePoint invalidSubpart(std::size_t length) { return {kReplacementCharacter, length, false}; }

}  // namespace

DecodedCodePoint decodeCodePointAt(std::string_view bytes, std::size_t offset) {
    const auto lead = static_cast<unsigned char>(bytes[offset]);
    if (lead < 0x80) return {lead, 1, true};
    const std::optional<LeadByte> form = classifyLeadByte(lead);
    if (!form) return invalidSubpart(1);

    char32_t value = form->payload;
    std::size_t length = 1;
    for (std::size_t index = 0; index < form->continuationCount; ++index, ++length) {
        if (offset + length >= bytes.size()) return invalidSubpart(length);
        const auto byte = static_cast<unsigned char>(bytes[offset + length]);
        const unsigned char min = index == 0 ? form->secondMin : 0x80;
        const unsigned char max = index == 0 ? form->secondMax : 0xBF;
        if (byte < min || byte > max) return invalidSubpart(length);
        value = (value << 6) | (byte & 0x3Fu);
    }
    return {value, length, true};
}

std::string decodeUtf8Lossy(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t offset = 0; offset < bytes.size();) {
        const DecodedCodePoint decoded = decodeCodePointAt(bytes, offset);
        text.append(decoded.valid ? bytes.substr(offset, decoded.length) : kReplacementUtf8);
        offset += decoded.length;
    }
    return text;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t offset = 0; offset < bytes.size();) {
        const DecodedCodePoint decoded = decodeCodePointAt(bytes, offset);
        if (!decoded.valid) return false;
        offset += decoded.length;
    }
    return true;
}

}  // namespace netmoth::util
