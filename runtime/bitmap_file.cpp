#include "runtime/bitmap_file.h"

#include <cstddef>

namespace jangora {

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
constexpr int iconDirectorySize = 6 + 16;

int rowSize(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

class Writer {
  public:
    void u8(std::uint32_t value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void u16(std::uint32_t value) {
        u8(value & 0xFF);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void pad(std::size_t to) { bytes.resize(to, 0); }

    std::vector<std::uint8_t> bytes;
};

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

void writeInfoHeader(Writer& out, int width, int height, int imageSize, int pixelsPerMetre) {
    out.u32(infoHeaderSize);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height));
    out.u16(1);  // planes
    out.u16(24); // bits per pixel
    out.u32(0);  // no compression
    out.u32(static_cast<std::uint32_t>(imageSize));
    out.u32(static_cast<std::uint32_t>(pixelsPerMetre));
    out.u32(static_cast<std::uint32_t>(pixelsPerMetre));
    out.u32(0); // colours used: no colour table
    out.u32(0); // important colours
}

void writeColourRows(Writer& out, const RgbImage& image) {
    const int row = rowSize(image.width, 24);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.bytes.size();
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t rgb = image.pixels[static_cast<std::size_t>(y * image.width + x)];
            out.u8(rgb & 0xFF);
            out.u8((rgb >> 8) & 0xFF);
            out.u8((rgb >> 16) & 0xFF);
        }
        out.pad(rowStart + static_cast<std::size_t>(row));
    }
}

// Checks a 40-byte information header at `at`; empty when it is as expected.
std::string infoHeaderProblem(const Reader& in, std::size_t at, int width, int height,
                              int imageSize, int pixelsPerMetre) {
    if (in.u32(at) != infoHeaderSize) {
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
    const auto row = static_cast<std::size_t>(rowSize(width, 24));
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

std::vector<std::uint8_t> encodeBitmap(const RgbImage& image) {
    const int imageSize = rowSize(image.width, 24) * image.height;
    const int offset = fileHeaderSize + infoHeaderSize;
    Writer out;
    out.u8('B');
    out.u8('M');
    out.u32(static_cast<std::uint32_t>(offset + imageSize));
    out.u32(0); // reserved
    out.u32(static_cast<std::uint32_t>(offset));
    writeInfoHeader(out, image.width, image.height, imageSize, bitmapPixelsPerMetre);
    writeColourRows(out, image);
    return std::move(out.bytes);
}

std::vector<std::uint8_t> encodeIcon(const RgbImage& image, const std::vector<bool>& transparent) {
    const int colourBytes = rowSize(image.width, 24) * image.height;
    const int maskRow = rowSize(image.width, 1);
    const int imageSize = colourBytes + maskRow * image.height;
    Writer out;
    out.u16(0); // reserved
    out.u16(1); // an icon
    out.u16(1); // one image
    out.u8(static_cast<std::uint32_t>(image.width));
    out.u8(static_cast<std::uint32_t>(image.height));
    out.u8(0); // colour count: more than 256
    out.u8(0); // reserved
    out.u16(1);
    out.u16(24);
    out.u32(static_cast<std::uint32_t>(infoHeaderSize + imageSize));
    out.u32(iconDirectorySize);
    // Height counts the colour rows and the mask rows together.
    writeInfoHeader(out, image.width, image.height * 2, imageSize, 0);
    writeColourRows(out, image);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.bytes.size();
        out.pad(rowStart + static_cast<std::size_t>(maskRow));
        for (int x = 0; x < image.width; ++x) {
            if (transparent[static_cast<std::size_t>(y * image.width + x)]) {
                out.bytes[rowStart + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return std::move(out.bytes);
}

std::string bitmapProblem(std::span<const std::uint8_t> file, int width, int height) {
    const Reader in(file);
    const int imageSize = rowSize(width, 24) * height;
    const int offset = fileHeaderSize + infoHeaderSize;
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
    return infoHeaderProblem(in, fileHeaderSize, width, height, imageSize, bitmapPixelsPerMetre);
}

std::string iconProblem(std::span<const std::uint8_t> file) {
    const Reader in(file);
    const int imageSize = rowSize(iconSize, 24) * iconSize + rowSize(iconSize, 1) * iconSize;
    const int resourceSize = infoHeaderSize + imageSize;
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
            readColourRows(file, iconDirectorySize + infoHeaderSize, iconSize, iconSize);
        const std::size_t mask = iconDirectorySize + infoHeaderSize +
                                 static_cast<std::size_t>(rowSize(iconSize, 24) * iconSize);
        const auto maskRow = static_cast<std::size_t>(rowSize(iconSize, 1));
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
    const auto width = static_cast<int>(in.u32(fileHeaderSize + 4));
    const auto height = static_cast<int>(in.u32(fileHeaderSize + 8));
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF ||
        !bitmapProblem(file, width, height).empty()) {
        return {};
    }
    return readColourRows(file, fileHeaderSize + infoHeaderSize, width, height);
}

} // namespace jangora
