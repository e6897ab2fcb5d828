#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace jangora {

// The handlers' arithmetic: 16-bit integers and single-precision values whose every
// overflow or invalid result is a run-time error instead of a silently wrong number.
// Inline, since a spin runs them thousands of times.

[[noreturn]] void raiseOverflow();
[[noreturn]] void raiseInvalidResult();

// A whole number as a 16-bit integer.
[[nodiscard]] inline std::int16_t wholeToInteger(double whole) {
    if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
          whole <= std::numeric_limits<std::int16_t>::max())) {
        raiseOverflow(); // also for a NaN, which compares false
    }
    return static_cast<std::int16_t>(whole);
}

[[nodiscard]] inline std::int16_t addInteger(std::int16_t a, std::int16_t b) {
    return wholeToInteger(a + b);
}

[[nodiscard]] inline std::int16_t subtractInteger(std::int16_t a, std::int16_t b) {
    return wholeToInteger(a - b);
}

// Converting to a 16-bit integer rounds to the nearest, halves to the even neighbour (the
// default rounding mode of nearbyint).
[[nodiscard]] inline std::int16_t roundToInteger(double value) {
    return wholeToInteger(std::nearbyint(value));
}

// The integer part, rounded down. Truncated and corrected by hand: without SSE4.1 std::floor
// is a library call, and a spin takes thousands of these.
[[nodiscard]] inline std::int16_t floorToInteger(double value) {
    if (!(value >= std::numeric_limits<std::int16_t>::min() &&
          value < std::numeric_limits<std::int16_t>::max() + 1.0)) {
        raiseOverflow(); // also for a NaN, which compares false
    }
    const int truncated = static_cast<int>(value);
    return static_cast<std::int16_t>(truncated > value ? truncated - 1 : truncated);
}

// Stores a double-precision result into a single-precision variable.
[[nodiscard]] inline float toSingle(double value) {
    if (std::isnan(value)) {
        raiseInvalidResult();
    }
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
        raiseOverflow();
    }
    return static_cast<float>(value);
}

} // namespace jangora
