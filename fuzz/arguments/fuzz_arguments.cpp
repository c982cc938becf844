// Input: argument bytes, a NUL, then prefix bytes (a real argument never
// holds a NUL, so it is a natural separator). Decoding gives valid UTF-8 (by
// utf8proc's own decoder) that keeps valid input; on ASCII without CR, where
// each byte is a character, matching and parsing are plain byte operations.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <utf8proc.h>

#include "cli/ArgumentMatching.h"

namespace {

using namespace netmoth::cli;

void require(bool property) {
    if (!property) std::abort();
}

bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    utf8proc_int32_t codePoint = 0;
    for (auto left = static_cast<utf8proc_ssize_t>(text.size()), used = left; left > 0; bytes += used, left -= used) {
        if ((used = utf8proc_iterate(bytes, left, &codePoint)) <= 0) return false;
    }
    return true;
}

bool isAsciiWithoutCr(std::string_view text) {
    return std::ranges::all_of(text, [](char byte) { return static_cast<unsigned char>(byte) < 0x80 && byte != '\r'; });
}

std::string decodeChecked(std::string_view bytes) {
    std::string text = netmoth::util::decodeUtf8Lossy(bytes);
    require(isValidUtf8(text) && (!isValidUtf8(bytes) || text == bytes));
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
    if (!isAsciiWithoutCr(argument) || !isAsciiWithoutCr(prefix)) return 0;
    require(hasPrefix(argument, prefix) == argument.starts_with(prefix));
    require(hasSuffix(argument, prefix) == argument.ends_with(prefix));
    std::string_view value = prefix.size() < argument.size() ? std::string_view(argument).substr(prefix.size()) : "";
    if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"')) value = value.substr(1, value.size() - 2);
    else if (value == "\"") value = "";
    require(parsed == value);
    return 0;
}
