#include "report/UnicodeUppercase.h"

#include <utf8proc.h>

namespace netmoth::report {

std::string uppercased(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    utf8proc_ssize_t left = static_cast<utf8proc_ssize_t>(text.size());
    while (left > 0) {
        // ASCII, as a BSSID always is, without utf8proc's tables: a launch
        // then never touches their pages.
        if (*bytes < 0x80) {
            const char c = static_cast<char>(*bytes);
            out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            ++bytes;
            --left;
            continue;
        }
        utf8proc_int32_t codePoint = 0;
        const utf8proc_ssize_t used = utf8proc_iterate(bytes, left, &codePoint);
        if (used <= 0) {
            out += static_cast<char>(*bytes);
            ++bytes;
            --left;
            continue;
        }
        utf8proc_uint8_t encoded[4];
        const utf8proc_ssize_t length = utf8proc_encode_char(utf8proc_toupper(codePoint), encoded);
        out.append(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(length));
        bytes += used;
        left -= used;
    }
    return out;
}

}  // namespace netmoth::report
