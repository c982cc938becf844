#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace netmoth::cli {

// Splits UTF-8 text into extended grapheme clusters one at a time, so a caller
// can stop early without segmenting the rest. Ill-formed bytes act as U+FFFD.
class GraphemeClusterReader {
public:
    explicit GraphemeClusterReader(std::string_view text) : text_(text) {}

    // The next cluster's bytes, or nullopt once the text is exhausted.
    std::optional<std::string_view> next();

    // The text that next() has not returned yet.
    std::string_view remaining() const { return text_.substr(offset_); }

private:
    std::string_view text_;
    std::size_t offset_ = 0;
    // Break state that must see every boundary in order (emoji, flag pairs).
    std::int32_t breakState_ = 0;
};

std::size_t countGraphemeClusters(std::string_view text);

}  // namespace netmoth::cli
