// Input: argument bytes, a NUL, then prefix bytes (a real argument never
// holds a NUL, so it is a natural separator). Decoding gives valid UTF-8 that
// keeps valid input; on ASCII without CR, where each byte is a character,
// matching and parsing are plain byte operations.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "cli/ArgumentMatching.h"

using namespace netmoth::cli;

static std::string decodeChecked(std::string_view bytes) {
    std::string text = netmoth::util::decodeUtf8Lossy(bytes);
    require(isValidUtf8(text) && (!isValidUtf8(bytes) || text == bytes),
            "decoding gives valid UTF-8, keeping valid input");
    return text;
}

static bool isAsciiWithoutCr(std::string_view text) {
    return std::ranges::all_of(text, [](char byte) { return static_cast<unsigned char>(byte) < 0x80 && byte != '\r'; });
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t separator = std::min(input.find('\0'), input.size());
    const std::string argument = decodeChecked(input.substr(0, separator));
    const std::string prefix = decodeChecked(input.substr(std::min(separator + 1, input.size())));
    const std::string parsed = parseArgument(argument, prefix);
    require(hasPrefix(argument, argument) && hasSuffix(argument, argument), "an argument is its own affix");
    require(argument.find(parsed) != std::string::npos, "the value is part of the argument");
    if (!isAsciiWithoutCr(argument) || !isAsciiWithoutCr(prefix)) return 0;
    require(hasPrefix(argument, prefix) == argument.starts_with(prefix), "ASCII prefix");
    require(hasSuffix(argument, prefix) == argument.ends_with(prefix), "ASCII suffix");
    std::string_view value = prefix.size() < argument.size() ? std::string_view(argument).substr(prefix.size()) : "";
    if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"'))
        value = value.substr(1, value.size() - 2);
    else if (value == "\"")
        value = "";
    require(parsed == value, "ASCII value");
    return 0;
}
