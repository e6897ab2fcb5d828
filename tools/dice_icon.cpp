#include "tools/dice_icon.h"

#include "runtime/bitmap_file.h"
#include "tools/bitmap_writer.h"

#include <QPainter>

using namespace jangora;

namespace dice_icon {

namespace {

// The icon's design on a grid of 16: four dice faces of 5 x 5 with five pips each on a black
// square, whose outermost ring is transparent.
struct Die {
    int left;
    int top;
    std::uint32_t face;
};
constexpr Die dice[] = {{2, 2, 0xFF0101}, {9, 2, 0xFF0101}, {2, 9, 0xFEFBF2}, {9, 9, 0xFEFBF2}};
constexpr std::uint32_t pipColour = 0x800000;
constexpr QPointF pips[] = {{0.5, 0.5}, {4.5, 0.5}, {2.5, 2.5}, {0.5, 4.5}, {4.5, 4.5}};

} // namespace

std::vector<std::uint8_t> file() {
    RgbImage image{iconSize, iconSize, std::vector<std::uint32_t>(iconSize * iconSize, 0)};
    std::vector<bool> transparent(iconSize * iconSize, false);
    for (int y = 0; y < iconSize; ++y) {
        for (int x = 0; x < iconSize; ++x) {
            transparent[y * iconSize + x] =
                x == 0 || y == 0 || x == iconSize - 1 || y == iconSize - 1;
        }
    }
    for (const Die& die : dice) {
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 5; ++x) {
                image.pixels[(die.top + y) * iconSize + die.left + x] = die.face;
            }
        }
        for (const QPointF pip : pips) {
            image.pixels[(die.top + static_cast<int>(pip.y())) * iconSize + die.left +
                         static_cast<int>(pip.x())] = pipColour;
        }
    }
    return encodeIcon(image, transparent);
}

QImage drawn(int size) {
    const qreal unit = size / 16.0;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(unit, unit, 14 * unit, 14 * unit), unit, unit);
    for (const Die& die : dice) {
        const QPointF corner(die.left * unit, die.top * unit);
        p.setBrush(QColor(die.face));
        p.drawRoundedRect(QRectF(corner, QSizeF(5 * unit, 5 * unit)), 0.8 * unit, 0.8 * unit);
        // Drawn smoothly, the pips keep clear of the face's rounded edge.
        p.setBrush(QColor(pipColour));
        for (const QPointF pip : pips) {
            const QPointF inset = QPointF(2.5, 2.5) + (pip - QPointF(2.5, 2.5)) * 0.62;
            p.drawEllipse(corner + inset * unit, 0.6 * unit, 0.6 * unit);
        }
    }
    return image;
}

} // namespace dice_icon
