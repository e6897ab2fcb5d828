#include "runtime/bitmap_file.h"

#include <cstddef>

namespace jangora {

namespace {

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> file) : file_(file) {}

    [[nodiscard]] std::uint32_t u16(std::size_t at) const {
        return at + 2 <= file_.size() ? file_[at] | file_[at + 1] << 8 : 0xFFFFFFFF;
    }
    [[nodiscard]] std::uint32_t u32(std::size_t at) const {
        return at + 4 <= file_.size() ? u16(at) | u16(at + 2) << 16 : 0xFFFFFFFF;
    }

  private:
    std::span<const std::uint8_t> file_;
};

// Checks a 40-byte information header at `at`; empty when it is as expected.
std::string infoHeaderProblem(const Reader& in, std::size_t at, int width, int height,
                              int imageSize, int pixelsPerMetre) {
    if (in.u32(at) != bitmapInfoHeaderSize) {
        return "its information header is not 40 bytes";
    }
    if (in.u32(at + 4) != static_cast<std::uint32_t>(width) ||
        in.u32(at + 8) != static_cast<std::uint32_t>(height)) {
        return "it is not " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    }
    if (in.u16(at + 12) != 1 || in.u16(at + 14) != 24) {
        return "it is not one plane of 24 bits per pixel";
    }
    if (in.u32(at + 16) != 0) {
        return "it is compressed";
    }
    if (in.u32(at + 20) != static_cast<std::uint32_t>(imageSize)) {
        return "its image size is not " + std::to_string(imageSize) + " bytes";
    }
    if (in.u32(at + 24) != static_cast<std::uint32_t>(pixelsPerMetre) ||
        in.u32(at + 28) != static_cast<std::uint32_t>(pixelsPerMetre)) {
        return "its resolution is not " + std::to_string(pixelsPerMetre) + " pixels per metre";
    }
    if (in.u32(at + 32) != 0) {
        return "it has a colour table";
    }
    return {};
}

// Reads the colour rows that start at `at`, bottom-up, into opaque pixels top-down.
ArgbImage readColourRows(std::span<const std::uint8_t> file, std::size_t at, int width,
                         int height) {
    ArgbImage image{width, height,
                    std::vector<std::uint32_t>(static_cast<std::size_t>(width * height))};
    const auto row = static_cast<std::size_t>(bitmapRowSize(width, 24));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* bgr = &file[at + static_cast<std::size_t>(height - 1 - y) * row];
        std::uint32_t* pixel = &image.pixels[static_cast<std::size_t>(y * width)];
        for (int x = 0; x < width; ++x, bgr += 3) {
            pixel[x] = 0xFF000000U | static_cast<std::uint32_t>(bgr[2]) << 16 |
                       static_cast<std::uint32_t>(bgr[1]) << 8 | bgr[0];
        }
    }
    return image;
}

} // namespace

std::string bitmapProblem(std::span<const std::uint8_t> file, int width, int height) {
    const Reader in(file);
    const int imageSize = bitmapRowSize(width, 24) * height;
    const int offset = bitmapFileHeaderSize + bitmapInfoHeaderSize;
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
        return "it is not a bitmap file";
    }
    if (in.u32(2) != static_cast<std::uint32_t>(offset + imageSize) ||
        file.size() != static_cast<std::size_t>(offset + imageSize)) {
        return "it is not " + std::to_string(offset + imageSize) + " bytes long";
    }
    if (in.u32(10) != static_cast<std::uint32_t>(offset)) {
        return "its pixels do not start at byte 54";
    }
    return infoHeaderProblem(in, bitmapFileHeaderSize, width, height, imageSize,
                             bitmapPixelsPerMetre);
}

std::string iconProblem(std::span<const std::uint8_t> file) {
    const Reader in(file);
    const int imageSize =
        bitmapRowSize(iconSize, 24) * iconSize + bitmapRowSize(iconSize, 1) * iconSize;
    const int resourceSize = bitmapInfoHeaderSize + imageSize;
    if (file.size() != static_cast<std::size_t>(iconDirectorySize + resourceSize)) {
        return "it is not " + std::to_string(iconDirectorySize + resourceSize) + " bytes long";
    }
    if (in.u16(0) != 0 || in.u16(2) != 1 || in.u16(4) != 1) {
        return "it is not an icon file with one image";
    }
    if (file[6] != iconSize || file[7] != iconSize || file[8] != 0 || in.u16(10) != 1 ||
        in.u16(12) != 24) {
        return "its image is not 16 x 16 pixels of 24 bits";
    }
    if (in.u32(14) != static_cast<std::uint32_t>(resourceSize) ||
        in.u32(18) != static_cast<std::uint32_t>(iconDirectorySize)) {
        return "its image does not stand where its entry says";
    }
    return infoHeaderProblem(in, iconDirectorySize, iconSize, iconSize * 2, imageSize, 0);
}

ArgbImage decodeBitmapOrIcon(std::span<const std::uint8_t> file) {
    const Reader in(file);
    if (iconProblem(file).empty()) {
        ArgbImage image =
            readColourRows(file, iconDirectorySize + bitmapInfoHeaderSize, iconSize, iconSize);
        const std::size_t mask = iconDirectorySize + bitmapInfoHeaderSize +
                                 static_cast<std::size_t>(bitmapRowSize(iconSize, 24) * iconSize);
        const auto maskRow = static_cast<std::size_t>(bitmapRowSize(iconSize, 1));
        for (int y = 0; y < iconSize; ++y) {
            for (int x = 0; x < iconSize; ++x) {
                const std::uint8_t bits =
                    file[mask + static_cast<std::size_t>(iconSize - 1 - y) * maskRow +
                         static_cast<std::size_t>(x / 8)];
                if (bits & (0x80 >> (x % 8))) {
                    image.pixels[static_cast<std::size_t>(y * iconSize + x)] = 0;
                }
            }
        }
        return image;
    }
    const auto width = static_cast<int>(in.u32(bitmapFileHeaderSize + 4));
    const auto height = static_cast<int>(in.u32(bitmapFileHeaderSize + 8));
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF ||
        !bitmapProblem(file, width, height).empty()) {
        return {};
    }
    return readColourRows(file, bitmapFileHeaderSize + bitmapInfoHeaderSize, width, height);
}

} // namespace jangora
