#include "runtime/qt/form_painter.h"

#include "runtime/bitmap_file.h"
#include "runtime/form.h"
#include "runtime/qt/qt_text.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRegion>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace jangora {

namespace {

constexpr qreal twipsPerPixel = Form::twipsPerPixel;

QColor toQColor(Color rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// A dotted frame just inside the focused control's box.
void paintFocus(QPainter& painter, const Image& control) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(toPixels(control.bounds()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void paintLine(QPainter& painter, const Line& line) {
    painter.setPen(QPen(Qt::black, line.borderWidth(), Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(QPointF(line.x1() / twipsPerPixel, line.y1() / twipsPerPixel),
                     QPointF(line.x2() / twipsPerPixel, line.y2() / twipsPerPixel));
}

// Whether boxes of whole logical pixels are boxes of whole device pixels: then what is drawn
// for a box can be drawn once and copied, pixel for pixel.
bool wholeDevicePixels(qreal devicePixelRatio) {
    return devicePixelRatio == std::round(devicePixelRatio);
}

} // namespace

QRectF toPixels(const Rect& twips) {
    return {twips.left / twipsPerPixel, twips.top / twipsPerPixel, twips.width / twipsPerPixel,
            twips.height / twipsPerPixel};
}

QImage decodePicture(const PictureData& picture) {
    const ArgbImage decoded = decodeBitmapOrIcon(picture.bytes);
    // Transparent pixels are 0 and the others opaque, so the pixels are premultiplied already.
    QImage image(decoded.width, decoded.height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < decoded.height; ++y) {
        std::memcpy(image.scanLine(y), &decoded.pixels[static_cast<std::size_t>(y * decoded.width)],
                    static_cast<std::size_t>(decoded.width) * sizeof(std::uint32_t));
    }
    return image;
}

// Box by box of the region: under a clip of several boxes Qt fills and copies through its
// general span pipeline, which hands tall areas to threads of its own.
void FormPainter::paint(QPainter& painter, const QRegion& region) {
    const qreal ratio = painter.device()->devicePixelRatio();
    const QColor background = toQColor(form_.description().backColor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform); // a picture drawn at another size
    for (const QRect& area : region) {
        painter.setClipRect(area);
        painter.fillRect(area, background);
        std::vector<const Line*> lines;
        for (const auto& control : form_.controls()) {
            if (!control->visible() ||
                !area.intersects(toPixels(control->paintBounds()).toAlignedRect())) {
                continue;
            }
            if (const auto* image = dynamic_cast<const Image*>(control.get())) {
                paintImage(painter, *image, ratio);
            } else if (const auto* label = dynamic_cast<const Label*>(control.get())) {
                paintLabel(painter, *label, ratio);
            } else if (const auto* line = dynamic_cast<const Line*>(control.get())) {
                lines.push_back(line);
            }
        }
        for (const Line* line : lines) { // on top of the images and labels
            paintLine(painter, *line);
        }
        if (form_.input().showsFocus() && form_.input().focused()) {
            paintFocus(painter, *form_.input().focused());
        }
    }
}

void FormPainter::prepare(qreal devicePixelRatio) {
    for (const auto& control : form_.controls()) {
        if (const auto* label = dynamic_cast<const Label*>(control.get())) {
            (void)drawn(*label, devicePixelRatio);
        }
    }
}

void FormPainter::paintImage(QPainter& painter, const Image& image, qreal devicePixelRatio) {
    if (!image.picture()) {
        return;
    }
    const QRectF box = toPixels(image.bounds());
    const PictureData& picture = *image.picture();
    if (!image.stretch()) {
        painter.drawPixmap(box.topLeft(), original(picture));
    } else if (wholeDevicePixels(devicePixelRatio)) {
        painter.drawPixmap(box.topLeft(), scaled(picture, box.size().toSize(), devicePixelRatio));
    } else {
        const QPixmap& pixmap = original(picture);
        painter.drawPixmap(box, pixmap, pixmap.rect());
    }
}

void FormPainter::paintLabel(QPainter& painter, const Label& label, qreal devicePixelRatio) {
    const QRectF box = toPixels(label.bounds());
    if (wholeDevicePixels(devicePixelRatio)) {
        painter.drawPixmap(box.topLeft(), drawn(label, devicePixelRatio));
        return;
    }
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    drawLabel(painter, label, box);
    painter.restore();
}

void FormPainter::drawLabel(QPainter& painter, const Label& label, const QRectF& box) {
    painter.fillRect(box, toQColor(label.backColor()));
    if (label.caption().empty()) {
        return;
    }
    painter.setFont(font(label.font()));
    painter.setPen(toQColor(label.foreColor()));
    painter.drawText(
        box,
        Qt::AlignTop | Qt::TextWordWrap |
            (label.alignment() == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft),
        toQString(label.caption()));
}

// A picture's own pixels are kept only where it is drawn at its own size, or at sizes that are
// not whole device pixels: a stretched one is kept at the size of its box alone.
const QPixmap& FormPainter::original(const PictureData& picture) {
    auto found = originals_.find(&picture);
    if (found == originals_.end()) {
        found = originals_.emplace(&picture, QPixmap::fromImage(decodePicture(picture))).first;
    }
    return found->second;
}

// Stretched as the window's painter would stretch it, once for each size of box.
const QPixmap& FormPainter::scaled(const PictureData& picture, QSize size, qreal devicePixelRatio) {
    const QSize pixels = size * devicePixelRatio;
    const auto key = std::tuple(&picture, pixels.width(), pixels.height());
    auto found = scaled_.find(key);
    if (found == scaled_.end()) {
        QPixmap stretched(pixels);
        stretched.setDevicePixelRatio(devicePixelRatio);
        QPainter painter(&stretched);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap own = QPixmap::fromImage(decodePicture(picture));
        painter.drawPixmap(QRectF(QPointF(), size), own, own.rect());
        painter.end();
        found = scaled_.emplace(key, std::move(stretched)).first;
    }
    return found->second;
}

// The label's box drawn with its caption, again only once anything it depends on has changed.
const QPixmap& FormPainter::drawn(const Label& label, qreal devicePixelRatio) {
    DrawnLabel& cached = labels_[&label];
    LabelLook look{label.caption(),   label.bounds(),    label.font(),    label.foreColor(),
                   label.backColor(), label.alignment(), devicePixelRatio};
    if (!cached.pixmap.isNull() && cached.look == look) {
        return cached.pixmap;
    }
    const QSizeF size = toPixels(label.bounds()).size();
    cached.pixmap = QPixmap((size * devicePixelRatio).toSize());
    cached.pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&cached.pixmap);
    drawLabel(painter, label, QRectF(QPointF(), size));
    cached.look = std::move(look);
    return cached.pixmap;
}

// Arial and MS Sans Serif as the system has them, else a metric-compatible sans-serif: one
// family the system has, chosen once, so that the font is found without a search for
// fallbacks.
QFont FormPainter::font(const FontDescription& description) {
    auto family = families_.find(description.name);
    if (family == families_.end()) {
        QString chosen = QStringLiteral("Sans Serif");
        for (const QString& candidate :
             {toQString(description.name), QStringLiteral("Liberation Sans"),
              QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")}) {
            if (QFontDatabase::hasFamily(candidate)) {
                chosen = candidate;
                break;
            }
        }
        family = families_.emplace(description.name, chosen).first;
    }
    QFont font(family->second);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(description.points * 96.0 / 72.0)));
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    return font;
}

} // namespace jangora
