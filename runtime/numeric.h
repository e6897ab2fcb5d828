#pragma once

#include <cstdint>

namespace jangora {

// The handlers' arithmetic: 16-bit integers and single-precision values whose every
// overflow or invalid result is a run-time error instead of a silently wrong number.

[[nodiscard]] std::int16_t addInteger(std::int16_t a, std::int16_t b);
[[nodiscard]] std::int16_t subtractInteger(std::int16_t a, std::int16_t b);

// Converting to a 16-bit integer rounds to the nearest, halves to the even neighbour.
[[nodiscard]] std::int16_t roundToInteger(double value);

// The integer part, rounded down.
[[nodiscard]] std::int16_t floorToInteger(double value);

// Stores a double-precision result into a single-precision variable.
[[nodiscard]] float toSingle(double value);

} // namespace jangora
