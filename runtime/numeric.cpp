#include "runtime/numeric.h"

#include "runtime/runtime_error.h"

#include <cmath>
#include <limits>

namespace jangora {

namespace {

std::int16_t toInteger(double whole) {
    if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
          whole <= std::numeric_limits<std::int16_t>::max())) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(whole);
}

} // namespace

std::int16_t addInteger(std::int16_t a, std::int16_t b) {
    return toInteger(static_cast<double>(a) + b);
}

std::int16_t subtractInteger(std::int16_t a, std::int16_t b) {
    return toInteger(static_cast<double>(a) - b);
}

std::int16_t roundToInteger(double value) {
    // nearbyint follows the default rounding mode, which is to nearest with ties to even.
    return toInteger(std::nearbyint(value));
}

std::int16_t floorToInteger(double value) {
    return toInteger(std::floor(value));
}

float toSingle(double value) {
    if (std::isnan(value)) {
        throw RuntimeError(ErrorNumber::InvalidCall);
    }
    if (std::isinf(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<float>(value);
}

} // namespace jangora
