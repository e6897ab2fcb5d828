#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>

class QPainter;
class QPalette;
class QRect;
class QString;
class QWidget;

namespace jangora {

// The frame a window draws for itself where the window system leaves that to the program
// (Wayland; Qt's own frame there offers to maximize): the icon, the caption, a minimize and a
// close button on a bar along the top, and a thin border to resize the window by.
class TitleBar {
  public:
    static constexpr QMargins margins{3, 30, 3, 3};

    enum class Part { Client, Move, Resize, Minimize, Close };
    // Which part of a window of this size a point is in; for Resize, `edges` says which.
    [[nodiscard]] static Part partAt(const QSize& window, const QPoint& point,
                                     Qt::Edges* edges = nullptr);

    // Paints the bar and border of the window, around its client area.
    static void paint(QPainter& painter, const QWidget& window);
    // Paints a bar with `title` and a border around the inside of `frame`: a window's frame
    // without its icon and buttons.
    static void paintFrame(QPainter& painter, const QRect& frame, const QPalette& palette,
                           const QString& title, bool active);
};

} // namespace jangora
