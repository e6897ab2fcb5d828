#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>

class QMouseEvent;
class QPainter;
class QPalette;
class QRect;
class QString;
class QWidget;

namespace jangora {

// The title bar a window draws for itself where the desktop leaves that to it (Wayland without
// server-side decoration: GNOME, weston; Qt's own there offers to maximize): the icon, the
// caption, a minimize and a close button on a bar along the top, and a thin border to resize
// the window by. The window paints it and hands it the mouse: the bar moves the window, the
// border resizes it, and the buttons minimize and close it when clicked.
class TitleBar {
  public:
    static constexpr QMargins margins{3, 30, 3, 3};

    enum class Part { Client, Move, Resize, Minimize, Close };
    // Which part of a window of this size a point is in; for Resize, `edges` says which.
    [[nodiscard]] static Part partAt(const QSize& window, const QPoint& point,
                                     Qt::Edges* edges = nullptr);
    // Paints a bar with `title` and a border around the inside of `frame`: a window's frame
    // without its icon and buttons.
    static void paintFrame(QPainter& painter, const QRect& frame, const QPalette& palette,
                           const QString& title, bool active);

    explicit TitleBar(QWidget& window);

    // Paints the bar and border of the window, around its client area.
    void paint(QPainter& painter) const;
    // The title bar's share of a mouse event on the window: true when it took the event. The
    // first button to go down says where every button goes until all are up.
    bool takes(const QMouseEvent& event);

  private:
    QWidget& window_;
    Part pressed_ = Part::Client; // where the first button held went down
};

} // namespace jangora
