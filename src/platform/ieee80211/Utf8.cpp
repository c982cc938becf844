#include "platform/ieee80211/Utf8.h"

#include <cstddef>
#include <cstdint>

namespace netmoth::ieee80211 {
namespace {

struct LeadByte {
    std::size_t length;   // bytes in the sequence; 0 when the byte cannot start one
    char32_t payload;     // the lead byte's code point bits
    char32_t smallest;    // below this the sequence is overlong
};

LeadByte decodeLead(std::uint8_t byte) {
    if ((byte & 0xE0U) == 0xC0U) return {2, byte & 0x1FU, 0x80};
    if ((byte & 0xF0U) == 0xE0U) return {3, byte & 0x0FU, 0x800};
    if ((byte & 0xF8U) == 0xF0U) return {4, byte & 0x07U, 0x10000};
    return {0, 0, 0};
}

// Length of the valid multi-byte sequence at the front of bytes, or 0.
std::size_t validSequenceLength(ElementBytes bytes) {
    const LeadByte lead = decodeLead(bytes[0]);
    if (lead.length == 0 || bytes.size() < lead.length) return 0;
    char32_t codePoint = lead.payload;
    for (std::size_t i = 1; i < lead.length; ++i) {
        if ((bytes[i] & 0xC0U) != 0x80U) return 0;
        codePoint = codePoint << 6 | (bytes[i] & 0x3FU);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < lead.smallest || codePoint > 0x10FFFF || surrogate) return 0;
    return lead.length;
}

}  // namespace

bool isValidUtf8(ElementBytes bytes) {
    while (!bytes.empty()) {
        const std::size_t length = bytes[0] < 0x80 ? 1 : validSequenceLength(bytes);
        if (length == 0) return false;
        bytes = bytes.subspan(length);
    }
    return true;
}

}  // namespace netmoth::ieee80211
