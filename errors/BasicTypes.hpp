#pragma once

// The old language's value semantics that the program's behaviour rests on: the 16-bit
// Boolean, 16- and 32-bit counters whose overflow is a failure, and bounds-checked arrays.

#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "errors/Failure.hpp"

namespace almanoria {

using Boolean = std::int16_t;  // true is -1; an argument counts as true only when it is -1
using Integer = std::int16_t;
using Long = std::int32_t;

inline constexpr Boolean vbTrue = -1;
inline constexpr Boolean vbFalse = 0;
// The line break of every text the program shows or logs, on Linux too.
inline constexpr const char* vbCrLf = "\r\n";

// a + b in the counter's own width; a result outside it is the failure "Overflow".
template <typename Counter>
Counter CheckedAdd(Counter a, Counter b) {
    static_assert(std::is_same_v<Counter, Integer> || std::is_same_v<Counter, Long>);
    const std::int64_t sum = std::int64_t{a} + std::int64_t{b};
    if (sum < std::numeric_limits<Counter>::min() || sum > std::numeric_limits<Counter>::max()) {
        RaiseOverflow();
    }
    return static_cast<Counter>(sum);
}

template <typename Counter>
Counter CheckedSubtract(Counter a, Counter b) {
    static_assert(std::is_same_v<Counter, Integer> || std::is_same_v<Counter, Long>);
    const std::int64_t difference = std::int64_t{a} - std::int64_t{b};
    if (difference < std::numeric_limits<Counter>::min() ||
        difference > std::numeric_limits<Counter>::max()) {
        RaiseOverflow();
    }
    return static_cast<Counter>(difference);
}

// A whole number narrowed to a 16-bit counter, as a loop bound is.
inline Integer ToInteger(std::int64_t value) {
    if (value < std::numeric_limits<Integer>::min() ||
        value > std::numeric_limits<Integer>::max()) {
        RaiseOverflow();
    }
    return static_cast<Integer>(value);
}

// The upper bound of an array that starts at 0; an array without elements has none.
template <typename T>
std::int64_t UBound(const std::vector<T>& array) {
    if (array.empty()) RaiseSubscriptOutOfRange();
    return static_cast<std::int64_t>(array.size()) - 1;
}

template <typename T>
T& At(std::vector<T>& array, std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= array.size()) RaiseSubscriptOutOfRange();
    return array[static_cast<std::size_t>(index)];
}

template <typename T>
const T& At(const std::vector<T>& array, std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= array.size()) RaiseSubscriptOutOfRange();
    return array[static_cast<std::size_t>(index)];
}

}  // namespace almanoria
