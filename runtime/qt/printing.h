#pragma once

class QRect;
class QWidget;

namespace jangora {

// Prints the window's client area, as it looks now, on one page: on the default printer, else
// on the only one, else on the one the player picks. With no printer the player may save the
// page as a PDF file instead. Whatever goes wrong is said, never hidden; the print system is
// asked off the window's thread, which waits for it at most 10 seconds a question and goes on
// repainting meanwhile.
void printWindow(QWidget& window, const QRect& clientArea);

} // namespace jangora
