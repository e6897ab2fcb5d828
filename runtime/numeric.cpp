#include "runtime/numeric.h"

#include "runtime/runtime_error.h"

namespace jangora {

void raiseOverflow() {
    throw RuntimeError(ErrorNumber::Overflow);
}

void raiseInvalidResult() {
    throw RuntimeError(ErrorNumber::InvalidResult);
}

} // namespace jangora
