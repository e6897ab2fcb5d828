#pragma once

// What the Qt and host tests share: where a player clicks, the mouse as Qt reports it, the
// event loop run a while, and pixels counted. The end-to-end tests read where a player clicks
// from here too (tests/e2e/lib.sh).

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace jangora::testing {

// In pixels of the game's client area at its starting size: the middle of the lever, and the
// part of the print button that shows.
inline constexpr QPointF lever{503, 358};
inline constexpr QPointF printButton{590, 440};

// A button going down or up, as Qt reports it, at a point of a widget.
inline void mouse(QWidget& widget, QEvent::Type type, QPointF at,
                  Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void click(QWidget& widget, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
    mouse(widget, QEvent::MouseButtonPress, at, button);
    mouse(widget, QEvent::MouseButtonRelease, at, button);
}

// Runs the event loop for a while, as the game's own does.
inline void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// How many pixels of a box of a picture are near a colour: within `tolerance` on each channel.
inline int pixelsNear(const QImage& picture, QRgb colour, QRect box, int tolerance = 40) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            count += std::abs(qRed(pixel) - qRed(colour)) <= tolerance &&
                     std::abs(qGreen(pixel) - qGreen(colour)) <= tolerance &&
                     std::abs(qBlue(pixel) - qBlue(colour)) <= tolerance;
        }
    }
    return count;
}

} // namespace jangora::testing
