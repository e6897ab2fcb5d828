#include "runtime/runtime_error.h"

namespace jangora {

namespace {

std::string describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::InvalidResult:
        return "Invalid floating-point result";
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorNumber::InternalError:
        return "Internal error";
    }
    return "Application-defined error";
}

} // namespace

RuntimeError::RuntimeError(ErrorNumber number, std::string_view detail)
    : std::runtime_error("Run-time error '" + std::to_string(static_cast<int>(number)) + "':\n\n" +
                         describe(number) + (detail.empty() ? "" : ": " + std::string(detail))),
      number_(number) {}

} // namespace jangora
