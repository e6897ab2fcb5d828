#include "runtime/qt/picture_cache.h"

#include "runtime/bitmap_file.h"

#include <QImage>

#include <cstring>

namespace jangora {

// Decoded here rather than by Qt's image readers, which look through every image plugin
// before the first picture can be drawn.
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

const QPixmap& PictureCache::pixmap(const PictureData& picture) {
    auto found = pixmaps_.find(&picture);
    if (found == pixmaps_.end()) {
        found = pixmaps_.emplace(&picture, QPixmap::fromImage(decodePicture(picture))).first;
    }
    return found->second;
}

} // namespace jangora
