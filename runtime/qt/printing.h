#pragma once

class QRect;
class QWidget;

namespace jangora {

// Prints the window's client area, as it looks now, on one page of the default printer. With
// no printer the player may save the page as a PDF file instead; a failure is said, never
// hidden.
void printWindow(QWidget& window, const QRect& clientArea);

} // namespace jangora
