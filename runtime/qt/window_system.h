#pragma once

#include <QApplication>

#include <memory>

struct xcb_connection_t;

namespace jangora {

// Connects to the window system (X11 or Wayland, as Qt chooses). Where no window can be opened,
// Qt would end the process with an abort and a core dump: instead the player is told why in one
// line on stderr, and the program ends with status 2 without returning.
[[nodiscard]] std::unique_ptr<QApplication> openWindowSystem(int& argc, char** argv);

// The connection to the X server, where the program runs on one; none on Wayland.
[[nodiscard]] xcb_connection_t* x11Connection();

// Whether the desktop leaves title bars to the windows: on Wayland, unless the compositor
// decorates windows itself (it offers server-side decoration, as KWin does). Asked once.
[[nodiscard]] bool titleBarsLeftToWindows();

} // namespace jangora
