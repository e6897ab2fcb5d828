#include "runtime/qt/title_bar.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <QWindow>

namespace jangora {

namespace {

constexpr int buttonSize = 18;
constexpr int buttonSpacing = 5;
constexpr int iconSize = 22;

// The buttons, from the right: close, then minimize.
QRect buttonRect(const QSize& window, int fromRight) {
    const int right = window.width() - TitleBar::margins.right() - buttonSpacing;
    return {right - (fromRight + 1) * buttonSize - fromRight * buttonSpacing,
            (TitleBar::margins.top() - buttonSize) / 2, buttonSize, buttonSize};
}

Qt::CursorShape cursorFor(TitleBar::Part part, Qt::Edges edges) {
    if (part != TitleBar::Part::Resize) {
        return Qt::ArrowCursor;
    }
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) {
        return Qt::SizeFDiagCursor;
    }
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge)) {
        return Qt::SizeBDiagCursor;
    }
    return edges & (Qt::LeftEdge | Qt::RightEdge) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

// Painting only in the frame: the band between the window's edge and its client area.
void clipToFrame(QPainter& painter, const QRect& frame) {
    painter.setClipRegion(QRegion(frame).subtracted(frame.marginsRemoved(TitleBar::margins)),
                          Qt::IntersectClip);
}

QColor ink(const QPalette& palette, bool active) {
    return palette.color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
}

} // namespace

TitleBar::TitleBar(QWidget& window) : window_(window) {
    window.setMouseTracking(true); // the border's cursors
}

TitleBar::Part TitleBar::partAt(const QSize& window, const QPoint& point, Qt::Edges* edges) {
    Qt::Edges near;
    if (point.x() < margins.left()) {
        near |= Qt::LeftEdge;
    } else if (point.x() >= window.width() - margins.right()) {
        near |= Qt::RightEdge;
    }
    if (point.y() < margins.left()) { // as thin along the top as along the sides
        near |= Qt::TopEdge;
    } else if (point.y() >= window.height() - margins.bottom()) {
        near |= Qt::BottomEdge;
    }
    if (edges) {
        *edges = near;
    }
    if (near) {
        return Part::Resize;
    }
    if (point.y() >= margins.top()) {
        return Part::Client;
    }
    if (buttonRect(window, 0).contains(point)) {
        return Part::Close;
    }
    return buttonRect(window, 1).contains(point) ? Part::Minimize : Part::Move;
}

void TitleBar::paintFrame(QPainter& painter, const QRect& frame, const QPalette& palette,
                          const QString& title, bool active) {
    painter.save();
    clipToFrame(painter, frame);
    painter.fillRect(frame, palette.color(QPalette::Window));
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(ink(palette, active));
    painter.drawText(QRect(frame.left(), frame.top(), frame.width(), margins.top()),
                     Qt::AlignCenter, title);
    painter.restore();
}

void TitleBar::paint(QPainter& painter) const {
    const QRect frame = window_.rect();
    const bool active = window_.isActiveWindow();
    paintFrame(painter, frame, window_.palette(), window_.windowTitle(), active);
    painter.save();
    clipToFrame(painter, frame);
    window_.windowIcon().paint(&painter, QRect(margins.left() + buttonSpacing,
                                               (margins.top() - iconSize) / 2, iconSize, iconSize));
    painter.setPen(QPen(ink(window_.palette(), active), 2));
    const QRect close = buttonRect(frame.size(), 0).adjusted(5, 5, -5, -5);
    painter.drawLine(close.topLeft(), close.bottomRight());
    painter.drawLine(close.bottomLeft(), close.topRight());
    const QRect minimize = buttonRect(frame.size(), 1).adjusted(5, 5, -5, -5);
    painter.drawLine(minimize.bottomLeft(), minimize.bottomRight());
    painter.restore();
}

// A double click on the bar is a press like any other.
bool TitleBar::takes(const QMouseEvent& event) {
    Qt::Edges edges;
    const Part part = partAt(window_.size(), event.position().toPoint(), &edges);
    const bool firstDown = event.type() != QEvent::MouseButtonRelease &&
                           event.type() != QEvent::MouseMove && event.buttons() == event.button();
    if (firstDown) {
        pressed_ = part;
        if (part == Part::Move && event.button() == Qt::LeftButton) {
            window_.windowHandle()->startSystemMove();
        } else if (part == Part::Resize && event.button() == Qt::LeftButton) {
            window_.windowHandle()->startSystemResize(edges);
        }
    }
    if (event.buttons() == Qt::NoButton) {
        window_.setCursor(cursorFor(part, edges));
    }
    const Part held = pressed_;
    if (event.type() == QEvent::MouseButtonRelease && event.buttons() == Qt::NoButton) {
        pressed_ = Part::Client;
        if (event.button() == Qt::LeftButton && part == held) {
            if (part == Part::Minimize) {
                window_.showMinimized();
            } else if (part == Part::Close) {
                window_.close();
            }
        }
    }
    return held != Part::Client || (event.type() == QEvent::MouseMove &&
                                    event.buttons() == Qt::NoButton && part != Part::Client);
}

} // namespace jangora
