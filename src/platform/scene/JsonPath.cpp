#include "platform/scene/JsonPath.h"

namespace netmoth::scene {

std::string JsonPath::text() const {
    if (parent_ == nullptr) return "top level";
    std::string out;
    append(out);
    return out;
}

void JsonPath::append(std::string& out) const {
    if (parent_ == nullptr) return;
    parent_->append(out);
    if (key_.empty()) {
        out += '[' + std::to_string(index_) + ']';
        return;
    }
    if (!out.empty()) out += '.';
    out += key_;
}

}  // namespace netmoth::scene
