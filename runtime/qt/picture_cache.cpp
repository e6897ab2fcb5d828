#include "runtime/qt/picture_cache.h"

#include <QImage>

namespace jangora {

QImage decodePicture(const PictureData& picture) {
    return QImage::fromData(picture.bytes.data(), static_cast<int>(picture.bytes.size()));
}

const QPixmap& PictureCache::pixmap(const PictureData& picture) {
    auto found = pixmaps_.find(&picture);
    if (found == pixmaps_.end()) {
        found = pixmaps_.emplace(&picture, QPixmap::fromImage(decodePicture(picture))).first;
    }
    return found->second;
}

} // namespace jangora
