#pragma once
// A value computed on first use and kept: the program is a one-shot, so each
// fact is asked of the kernel at most once.

#include <optional>

namespace netmoth::linux_backend {

template <class T>
class Lazy {
public:
    template <class Compute>
    T& get(Compute&& compute) {
        if (!value_) value_.emplace(compute());
        return *value_;
    }

private:
    std::optional<T> value_;
};

}  // namespace netmoth::linux_backend
