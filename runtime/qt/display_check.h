#pragma once

#include <optional>
#include <string>

namespace jangora {

// Why no window can be opened on this machine, if it cannot: asked before QApplication
// exists, since Qt ends the process with an abort when the display is unreachable.
[[nodiscard]] std::optional<std::string> displayProblem();

} // namespace jangora
