#include <utility>

#include "platform/scene/SceneModel.h"

namespace netmoth::scene {

ValueSet::ValueSet(std::vector<std::int64_t> values) : sorted_(std::move(values)) {
    std::sort(sorted_.begin(), sorted_.end());
    sorted_.erase(std::unique(sorted_.begin(), sorted_.end()), sorted_.end());
}

ValueSet ValueSet::fromMask(std::uint32_t mask) {
    std::vector<std::int64_t> values;
    for (std::int64_t bit = 0; bit < 32; ++bit) {
        if ((mask >> bit) & 1U) values.push_back(bit);
    }
    return ValueSet(std::move(values));
}

}  // namespace netmoth::scene
