#pragma once
// What a person typing --help or --version sees. Callers never pass these, so
// they are matched exactly and only as the one argument after the path.

#include <optional>
#include <string>
#include <vector>

namespace netmoth::cli {

// The text for `netmoth-companion --help` or `--version`; nullopt for every
// other argument list, which keeps its usual meaning.
std::optional<std::string> textForPeople(const std::vector<std::string>& arguments);

}  // namespace netmoth::cli
