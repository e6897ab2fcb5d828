#pragma once

#include <QApplication>

#include <memory>

namespace jangora {

// Connects to the window system (X11 or Wayland, as Qt chooses). Where no window can be opened,
// Qt would end the process with an abort and a core dump: instead the player is told why in one
// line on stderr, and the program ends with status 2 without returning.
[[nodiscard]] std::unique_ptr<QApplication> openWindowSystem(int& argc, char** argv);

} // namespace jangora
