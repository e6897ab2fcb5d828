#pragma once

#include "runtime/form_description.h"

#include <span>

namespace jangora {

// The window Form1 and its 64 controls in creation order, in their starting state.
extern const FormDescription form1Window;
[[nodiscard]] std::span<const ControlDescription> form1Controls();

} // namespace jangora
