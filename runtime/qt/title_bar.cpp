#include "runtime/qt/title_bar.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QWidget>

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

} // namespace

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
    painter.setClipRegion(QRegion(frame).subtracted(frame.marginsRemoved(margins)),
                          Qt::IntersectClip);
    painter.fillRect(frame, palette.color(QPalette::Window));
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(
        palette.color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(QRect(frame.left(), frame.top(), frame.width(), margins.top()),
                     Qt::AlignCenter, title);
    painter.restore();
}

void TitleBar::paint(QPainter& painter, const QWidget& window) {
    const QRect frame = window.rect();
    const bool active = window.isActiveWindow();
    paintFrame(painter, frame, window.palette(), window.windowTitle(), active);
    painter.save();
    painter.setClipRegion(QRegion(frame).subtracted(frame.marginsRemoved(margins)),
                          Qt::IntersectClip);
    window.windowIcon().paint(&painter, QRect(margins.left() + buttonSpacing,
                                              (margins.top() - iconSize) / 2, iconSize, iconSize));
    const QColor ink = window.palette().color(active ? QPalette::Active : QPalette::Disabled,
                                              QPalette::WindowText);
    painter.setPen(QPen(ink, 2));
    const QRect close = buttonRect(frame.size(), 0).adjusted(5, 5, -5, -5);
    painter.drawLine(close.topLeft(), close.bottomRight());
    painter.drawLine(close.bottomLeft(), close.topRight());
    const QRect minimize = buttonRect(frame.size(), 1).adjusted(5, 5, -5, -5);
    painter.drawLine(minimize.bottomLeft(), minimize.bottomRight());
    painter.restore();
}

} // namespace jangora
