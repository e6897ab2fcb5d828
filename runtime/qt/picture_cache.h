#pragma once

#include "runtime/picture.h"

#include <QPixmap>

#include <unordered_map>

namespace jangora {

// Decodes each picture once, the first time it is drawn.
class PictureCache {
  public:
    [[nodiscard]] const QPixmap& pixmap(const PictureData& picture);

  private:
    std::unordered_map<const PictureData*, QPixmap> pixmaps_;
};

[[nodiscard]] QImage decodePicture(const PictureData& picture);

} // namespace jangora
