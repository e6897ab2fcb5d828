#include "ui/pictures.h"

#include "runtime/bitmap_file.h"
#include "runtime/runtime_error.h"

#include <memory>
#include <string>

namespace jangora {

PictureSet loadPictures(const PictureReader& read) {
    PictureSet pictures;
    for (const PictureFile& file : form1Pictures) {
        const std::optional<std::span<const std::uint8_t>> bytes = read(file.file);
        if (!bytes) {
            throw StartupError("The picture " + std::string(file.file) + " is missing.");
        }
        const std::string problem =
            file.icon ? iconProblem(*bytes) : bitmapProblem(*bytes, file.width, file.height);
        if (!problem.empty()) {
            throw StartupError("The picture " + std::string(file.file) + " is damaged: " + problem +
                               ".");
        }
        pictures.emplace(
            std::string(file.file),
            std::make_shared<const PictureData>(PictureData{
                std::string(file.file), file.width, file.height, *bytes, std::string(file.shows)}));
    }
    return pictures;
}

} // namespace jangora
