#pragma once

#include "runtime/form.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace jangora {

// Makes the program's form, given the services and a reader of the files carried with it.
using FormFactory = std::function<std::unique_ptr<Form>(
    Services&,
    const std::function<std::optional<std::span<const std::uint8_t>>(std::string_view)>&)>;

// Runs the program: checks the display, creates the form and runs its load handler, shows
// the window and dispatches events until it is closed or the program ends. Returns the exit
// status: 0 after a normal end, 1 after a run-time error, 2 when the program cannot start (no
// display, or its own files damaged). docs/errors.md says which failure goes which way.
int runHost(int argc, char** argv, const FormFactory& makeForm);

// The bytes of a file embedded in the program under :/assets, or nothing.
[[nodiscard]] std::optional<std::span<const std::uint8_t>> readEmbeddedFile(std::string_view name);

} // namespace jangora
