#include "cli/GraphemeClusterReader.h"

#include <utf8proc.h>

#include "util/Utf8.h"

namespace netmoth::cli {

std::optional<std::string_view> GraphemeClusterReader::next() {
    if (offset_ >= text_.size()) return std::nullopt;
    const std::size_t start = offset_;
    util::DecodedCodePoint current = util::decodeCodePointAt(text_, offset_);
    offset_ += current.length;
    // The cluster ends only where a break is allowed before the following code
    // point, so finding its end always looks one code point ahead.
    while (offset_ < text_.size()) {
        const util::DecodedCodePoint following = util::decodeCodePointAt(text_, offset_);
        if (utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(current.value),
                                             static_cast<utf8proc_int32_t>(following.value), &breakState_)) {
            break;
        }
        offset_ += following.length;
        current = following;
    }
    return text_.substr(start, offset_ - start);
}

std::size_t countGraphemeClusters(std::string_view text) {
    GraphemeClusterReader reader(text);
    std::size_t count = 0;
    while (reader.next()) ++count;
    return count;
}

}  // namespace netmoth::cli
