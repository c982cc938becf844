#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace netmoth::cli {

// Decides whether two grapheme clusters are canonically equivalent by comparing
// their canonical decompositions (NFD). Keeps its buffers between calls so a
// long walk does not allocate for every cluster.
class CanonicalComparer {
public:
    bool equivalent(std::string_view left, std::string_view right);

private:
    std::vector<std::int32_t> leftDecomposed_;
    std::vector<std::int32_t> rightDecomposed_;
};

}  // namespace netmoth::cli
