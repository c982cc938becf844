#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace netmoth::util {

using Bytes = std::vector<std::uint8_t>;

std::string encodeBase64(std::span<const std::uint8_t> bytes);

// Strict: nullopt for a length that is not a multiple of 4, a character outside
// the alphabet, misplaced padding or non-zero bits under the padding.
std::optional<Bytes> decodeBase64(std::string_view text);

}  // namespace netmoth::util
