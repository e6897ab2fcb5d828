#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace jangora {

// The run-time errors a handler can raise. Nothing in the program traps them: the form's
// dispatch point reports the error and ends the program.
enum class ErrorNumber {
    InvalidResult = 5, // a floating-point result that is not a number
    Overflow = 6,
    SubscriptOutOfRange = 9,
    InternalError = 51, // a fault of the program itself, which no handler should let escape
};

class RuntimeError : public std::runtime_error {
  public:
    // `detail` says more, where there is more to say.
    explicit RuntimeError(ErrorNumber number, std::string_view detail = {});

    [[nodiscard]] ErrorNumber number() const { return number_; }

  private:
    ErrorNumber number_;
};

// A problem found before the window opens (a missing or malformed picture): the program
// says what it is and exits without showing the window.
class StartupError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace jangora
