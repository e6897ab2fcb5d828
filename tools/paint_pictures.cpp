// Paints the eleven pictures of the window and writes them, in the exact file layout the
// game checks at start-up, into the folder given as the first argument.

#include "runtime/bitmap_file.h"
#include "tools/bitmap_writer.h"
#include "tools/dice_icon.h"
#include "ui/picture_list.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

using namespace jangora;

namespace {

const QColor white(0xFFFFFF);

QImage canvas(int width, int height, const QColor& background) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QFont font(const char* family, int pixelSize, QFont::Weight weight) {
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

QImage printButton() {
    QImage image = canvas(33, 32, white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x800000));
    p.drawEllipse(QPointF(16.5, 16), 12.5, 12.5);
    return image;
}

QImage cherry() {
    QImage image = canvas(160, 70, white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A curly stem from the top of the fruit up to the right.
    QPainterPath stem(QPointF(66, 40));
    stem.cubicTo(QPointF(64, 24), QPointF(78, 20), QPointF(74, 12));
    stem.cubicTo(QPointF(70, 4), QPointF(88, 2), QPointF(92, 9));
    stem.cubicTo(QPointF(95, 15), QPointF(86, 17), QPointF(87, 11));
    p.setPen(QPen(QColor(0x008000), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC00000));
    p.drawEllipse(QPointF(66, 50), 16, 15);
    p.setBrush(QColor(0xFF8080));
    p.drawEllipse(QPointF(60, 44), 4, 3);
    return image;
}

QImage seven() {
    QImage image = canvas(160, 70, QColor(0xFFFF80));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Blurred lamps on both sides of the numeral.
    const struct {
        QPointF centre;
        qreal radius;
        QColor colour;
    } lamps[] = {{{18, 18}, 15, QColor(0xE00000)},  {{44, 50}, 16, QColor(0x008080)},
                 {{20, 56}, 12, QColor(0x000080)},  {{116, 20}, 15, QColor(0x00A000)},
                 {{142, 48}, 16, QColor(0x808000)}, {{112, 58}, 11, QColor(0xE00000)},
                 {{146, 12}, 10, QColor(0x008080)}, {{50, 12}, 9, QColor(0x000080)}};
    p.setPen(Qt::NoPen);
    for (const auto& lamp : lamps) {
        QRadialGradient glow(lamp.centre, lamp.radius);
        QColor edge = lamp.colour;
        edge.setAlpha(0);
        glow.setColorAt(0, lamp.colour);
        glow.setColorAt(0.45, lamp.colour);
        glow.setColorAt(1, edge);
        p.setBrush(glow);
        p.drawEllipse(lamp.centre, lamp.radius, lamp.radius);
    }
    p.setPen(Qt::black);
    p.setFont(font("Liberation Serif", 72, QFont::Bold));
    p.drawText(QRect(0, -8, 160, 86), Qt::AlignCenter, QStringLiteral("7"));
    return image;
}

QImage cash() {
    QImage image = canvas(160, 70, QColor(0x008000));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0xC0C000));
    p.setFont(font("Liberation Sans", 62, QFont::Bold));
    p.drawText(QRect(0, 0, 160, 70), Qt::AlignCenter, QStringLiteral("$"));
    return image;
}

QImage box() {
    QImage image = canvas(160, 70, white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD1D1D1), 2));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(35, 11, 90, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFFFF00));
    p.drawEllipse(QPointF(66, 26), 3.5, 3.5); // eyes
    p.drawEllipse(QPointF(94, 26), 3.5, 3.5);
    p.setPen(QPen(QColor(0xFFFF00), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 31), QPointF(80, 38)); // nose
    QPainterPath smile(QPointF(64, 44));
    smile.quadTo(QPointF(80, 54), QPointF(98, 42)); // a little higher on the right
    p.setBrush(Qt::NoBrush);
    p.drawPath(smile);
    return image;
}

QImage banana() {
    QImage image = canvas(160, 70, white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Three crescents lying from lower left to upper right, one behind the other.
    for (int i = 0; i < 3; ++i) {
        const qreal dy = i * 9.0;
        const qreal dx = i * 4.0;
        QPainterPath fruit(QPointF(40 + dx, 52 + dy - 14));
        fruit.cubicTo(QPointF(62 + dx, 58 + dy - 6), QPointF(100 + dx, 40 + dy - 12),
                      QPointF(118 + dx, 6 + dy));
        fruit.cubicTo(QPointF(110 + dx, 32 + dy - 4), QPointF(78 + dx, 50 + dy - 8),
                      QPointF(46 + dx, 44 + dy - 14));
        fruit.closeSubpath();
        p.setPen(QPen(QColor(0x808000), 1.6));
        p.setBrush(QColor(0xFFFF40));
        p.drawPath(fruit);
        // The dark line along the inner curve.
        QPainterPath inner(QPointF(50 + dx, 46 + dy - 13));
        inner.cubicTo(QPointF(80 + dx, 48 + dy - 9), QPointF(104 + dx, 30 + dy - 6),
                      QPointF(114 + dx, 12 + dy));
        p.setPen(QPen(QColor(0x404000), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(inner);
        p.setPen(QPen(QColor(0x403000), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(118 + dx, 6 + dy), QPointF(122 + dx, 2 + dy));
    }
    return image;
}

QImage apple() {
    QImage image = canvas(160, 70, white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x800000), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 18), QPointF(84, 6)); // stem
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00FF00));
    QPainterPath leaf(QPointF(84, 10));
    leaf.quadTo(QPointF(92, 0), QPointF(102, 6));
    leaf.quadTo(QPointF(94, 14), QPointF(84, 10));
    p.drawPath(leaf);
    p.setBrush(QColor(0xFF0000));
    QPainterPath fruit(QPointF(80, 19));
    fruit.cubicTo(QPointF(96, 10), QPointF(110, 22), QPointF(106, 40));
    fruit.cubicTo(QPointF(102, 58), QPointF(90, 66), QPointF(80, 61));
    fruit.cubicTo(QPointF(70, 66), QPointF(58, 58), QPointF(54, 40));
    fruit.cubicTo(QPointF(50, 22), QPointF(64, 10), QPointF(80, 19));
    p.drawPath(fruit);
    return image;
}

// The red plate with the black "PULL" band, whose top edge lies `bandTop` below the plate's.
QImage lever(int bandTop) {
    constexpr int plateWidth = 114;
    constexpr int plateHeight = 159;
    constexpr int bandHeight = 47;
    QImage image = canvas(180, 180, white);
    QPainter p(&image);
    const QRect plate((180 - plateWidth) / 2, (180 - plateHeight) / 2, plateWidth, plateHeight);
    p.fillRect(plate, QColor(0xFF4040));
    const QRect band(plate.left(), plate.top() + bandTop, plateWidth, bandHeight);
    p.fillRect(band, Qt::black);
    p.setPen(QPen(QColor(0x101010), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plate.adjusted(1, 1, -1, -1));
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    p.setFont(font("DejaVu Serif", 36, QFont::Bold)); // slab serifs
    p.drawText(band, Qt::AlignCenter, QStringLiteral("PULL"));
    return image;
}

QImage banner() {
    QImage image = canvas(190, 50, QColor(0x40FF40));
    QPainter p(&image);
    p.setPen(QPen(QColor(0x006000), 2));
    p.drawRect(QRectF(1, 1, 188, 48));
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::black);
    p.setFont(font("Liberation Mono", 17, QFont::Bold));
    p.drawText(QRect(0, 0, 190, 50), Qt::AlignCenter, QStringLiteral("$$ CASH LEFT $$"));
    return image;
}

std::vector<std::uint8_t> bitmap(const QImage& painted) {
    RgbImage image{painted.width(), painted.height(), {}};
    image.pixels.reserve(static_cast<std::size_t>(painted.width() * painted.height()));
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            image.pixels.push_back(painted.pixel(x, y) & 0xFFFFFF);
        }
    }
    return encodeBitmap(image);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ASSETS_FOLDER\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const std::map<std::string, std::function<QImage()>> painters{
        {"print_button.bmp", printButton},
        {"cherry.bmp", cherry},
        {"seven.bmp", seven},
        {"cash.bmp", cash},
        {"box.bmp", box},
        {"banana.bmp", banana},
        {"apple.bmp", apple},
        {"lever_at_rest.bmp", [] { return lever(19); }},
        {"lever_pulled.bmp", [] { return lever(159 - 14 - 47); }},
        {"banner.bmp", banner},
    };
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const PictureFile& picture : form1Pictures) {
        const std::string name(picture.file);
        const std::vector<std::uint8_t> bytes =
            picture.icon ? dice_icon::file() : bitmap(painters.at(name)());
        QFile out(folder.filePath(QString::fromStdString(name)));
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
    }
    // The icon theme's renderings: the icon itself at 16 pixels, then drawn larger.
    const QImage smallIcon = QImage::fromData(
        [] {
            const std::vector<std::uint8_t> bytes = dice_icon::file();
            return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size()));
        }(),
        "ICO");
    QDir(folder.filePath("icons")).mkpath(".");
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QImage rendering = size == iconSize ? smallIcon : dice_icon::drawn(size);
        const QString file = folder.filePath(QStringLiteral("icons/%1.png").arg(size));
        if (!rendering.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
