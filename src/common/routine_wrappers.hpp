#pragma once
// Adapters for registering the system's routines by name: a routine that
// takes nothing and answers nothing, and the whole-number arguments most
// routines take.
#include <cstddef>
#include <span>
#include "runtime/core/functions.hpp"

namespace qv::common {

template <class Fn>
rt::Function procedure(Fn fn) {
    return [fn](std::span<const rt::Value>) {
        fn();
        return rt::Value();
    };
}

// Argument i as a whole number; the fallback when missing or not a number.
inline int int_arg(std::span<const rt::Value> a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

}  // namespace qv::common
