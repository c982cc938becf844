#pragma once

#include <string>
#include <string_view>

#include "util/Utf8.h"

// Command-line text is compared and counted in user-perceived characters:
// extended grapheme clusters, equal when canonically equivalent. No case
// folding and nothing locale-dependent. Inputs are expected to be valid UTF-8
// (run raw bytes through decodeUtf8Lossy first); stray bytes act as U+FFFD.
namespace netmoth::cli {

// True when the first characters of argument are those of prefix. Stops as
// soon as prefix is used up, so a huge argument costs only its first clusters.
bool hasPrefix(std::string_view argument, std::string_view prefix);

// True when the last characters of text are those of suffix.
bool hasSuffix(std::string_view text, std::string_view suffix);

// Drops as many characters from argument as prefix has (without comparing
// them), then unwraps one pair of lone double quotes around what is left.
// The result keeps the argument's own code points.
std::string parseArgument(std::string_view argument, std::string_view prefix);

}  // namespace netmoth::cli
