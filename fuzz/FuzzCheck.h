#pragma once
// Shared by the fuzz targets: a broken property aborts, naming itself, and
// UTF-8 is judged by utf8proc's own decoder, independent of the one under test.
#include <utf8proc.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

inline void require(bool holds, const char* property = "") {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

inline bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    utf8proc_int32_t codePoint = 0;
    for (auto left = static_cast<utf8proc_ssize_t>(text.size()), used = left; left > 0; bytes += used, left -= used) {
        if ((used = utf8proc_iterate(bytes, left, &codePoint)) <= 0) return false;
    }
    return true;
}
