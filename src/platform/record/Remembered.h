#pragma once
// The first answer to a question, served again on every later ask, so the
// record holds exactly what the run saw even if the platform would change
// its mind.

#include <optional>

namespace netmoth::record {

template <typename T>
class Remembered {
public:
    template <typename Ask>
    const T& get(Ask ask) {
        if (!value_) value_.emplace(ask());
        return *value_;
    }

private:
    std::optional<T> value_;
};

}  // namespace netmoth::record
