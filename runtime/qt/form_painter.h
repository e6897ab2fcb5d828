#pragma once

#include "runtime/controls.h"
#include "runtime/form_description.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRectF>

#include <map>
#include <string>
#include <tuple>

class QPainter;
class QRegion;

namespace jangora {

class Form;
class Image;
class Label;
class Line;
struct PictureData;

// A box of the client area, from twips to logical pixels.
[[nodiscard]] QRectF toPixels(const Rect& twips);

// One of the form's pictures as Qt draws it. Decoded here rather than by Qt's image readers,
// which look through every image plugin before the first picture can be drawn.
[[nodiscard]] QImage decodePicture(const PictureData& picture);

// Paints a form's client area from what the form holds: the background, every shown image and
// label in creation order, then the lines (so the reel bars and the bankroll's frame stay
// whole), then the focus mark once a key has been used. What it makes for that it keeps until
// what it shows changes: each picture decoded, and scaled to each box it fills; each label's
// font, resolved once to a family the system has; each label drawn with its caption.
class FormPainter {
  public:
    explicit FormPainter(const Form& form) : form_(form) {}

    // Paints the part of the client area in `region`; the painter's origin is its top left.
    void paint(QPainter& painter, const QRegion& region);
    // Opens the labels' fonts and lays out their captions now, while the window is being shown
    // (at the device-pixel ratio it will have), rather than in its first frame.
    void prepare(qreal devicePixelRatio);

  private:
    void paintImage(QPainter& painter, const Image& image, qreal devicePixelRatio);
    void paintLabel(QPainter& painter, const Label& label, qreal devicePixelRatio);
    // The label's background and caption, in `box`.
    void drawLabel(QPainter& painter, const Label& label, const QRectF& box);
    [[nodiscard]] const QPixmap& original(const PictureData& picture);
    [[nodiscard]] const QPixmap& scaled(const PictureData& picture, QSize size,
                                        qreal devicePixelRatio);
    [[nodiscard]] const QPixmap& drawn(const Label& label, qreal devicePixelRatio);
    [[nodiscard]] QFont font(const FontDescription& description);

    const Form& form_;
    std::map<const PictureData*, QPixmap> originals_;
    std::map<std::tuple<const PictureData*, int, int>, QPixmap> scaled_; // by device size
    std::map<std::string_view, QString> families_; // the family each font name is drawn in
    // All a label's picture depends on.
    struct LabelLook {
        std::string caption;
        Rect bounds;
        FontDescription font;
        Color foreColor = 0;
        Color backColor = 0;
        Alignment alignment = Alignment::Left;
        qreal devicePixelRatio = 0;
        bool operator==(const LabelLook&) const = default;
    };
    struct DrawnLabel {
        LabelLook look;
        QPixmap pixmap;
    };
    std::map<const Label*, DrawnLabel> labels_;
};

} // namespace jangora
