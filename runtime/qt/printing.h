#pragma once

class QRect;
class QWidget;

namespace jangora {

// Prints the window's client area, as it looks now, on one page: on the default printer, else
// on the only one, else on the one the player picks. With no printer the player may save the
// page as a PDF file instead. Whatever goes wrong is said, never hidden, and only what is known:
// a page that may have been printed is never said not to be. The print system is asked off the
// window's thread, which goes on repainting and shows the busy cursor meanwhile, and waits for
// it as long as it is heard from: a slow server is waited for, a silent one given up on.
void printWindow(QWidget& window, const QRect& clientArea);

} // namespace jangora
