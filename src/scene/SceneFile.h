#pragma once
// Reading a scene file whole, with a cap on its size.

#include <cstddef>
#include <optional>
#include <string>

namespace netmoth::scene {

// Far beyond any real scene; stops a wrong path (a device, a huge log) from
// filling memory.
inline constexpr std::size_t kMaxSceneFileBytes = std::size_t{1} << 30;

struct FileContents {
    std::optional<std::string> text;
    std::string error;  // set when text is not: "cannot open: <reason>", ...
};

FileContents readFileCapped(const std::string& path, std::size_t maxBytes);

}  // namespace netmoth::scene
