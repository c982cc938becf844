// Input: argument bytes, a NUL, then prefix bytes (a real argument never
// holds a NUL, so it is a natural separator).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <utf8proc.h>

#include "cli/ArgumentMatching.h"

namespace {

using namespace netmoth::cli;
using netmoth::util::decodeUtf8Lossy;

void require(bool property) {
    if (!property) std::abort();
}

// Checked with utf8proc's own decoder, independent of the one under test.
bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    for (auto left = static_cast<utf8proc_ssize_t>(text.size()); left > 0;) {
        utf8proc_int32_t codePoint = 0;
        const utf8proc_ssize_t used = utf8proc_iterate(bytes, left, &codePoint);
        if (used <= 0) return false;
        bytes += used;
        left -= used;
    }
    return true;
}

// Every ASCII byte but CR (which pairs with LF) is one character on its own.
bool isAsciiWithoutCr(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80 && byte != '\r'; });
}

// What parseArgument must give when every byte is a character of its own.
std::string byteLevelParse(std::string_view argument, std::string_view prefix) {
    std::string_view value = prefix.size() < argument.size() ? argument.substr(prefix.size()) : "";
    if (value.starts_with('"') && value.ends_with('"')) {
        value.remove_prefix(1);
        if (!value.empty()) value.remove_suffix(1);
    }
    return std::string(value);
}

std::string decodeChecked(std::string_view bytes) {
    std::string text = decodeUtf8Lossy(bytes);
    require(isValidUtf8(text) && decodeUtf8Lossy(text) == text);
    if (isValidUtf8(bytes)) require(text == bytes);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t separator = std::min(input.find('\0'), input.size());
    const std::string argument = decodeChecked(input.substr(0, separator));
    const std::string prefix = decodeChecked(input.substr(std::min(separator + 1, input.size())));
    const std::string parsed = parseArgument(argument, prefix);

    require(hasPrefix(argument, argument) && hasSuffix(argument, argument));
    require(argument.find(parsed) != std::string::npos);
    if (isAsciiWithoutCr(argument) && isAsciiWithoutCr(prefix)) {
        require(hasPrefix(argument, prefix) == argument.starts_with(prefix));
        require(hasSuffix(argument, prefix) == argument.ends_with(prefix));
        require(parsed == byteLevelParse(argument, prefix));
    }
    return 0;
}
