#include "tools/bitmap_writer.h"

#include "runtime/bitmap_file.h"

#include <cstddef>

namespace jangora {

namespace {

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

void writeInfoHeader(Writer& out, int width, int height, int imageSize, int pixelsPerMetre) {
    out.u32(bitmapInfoHeaderSize);
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
    const int row = bitmapRowSize(image.width, 24);
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

} // namespace

std::vector<std::uint8_t> encodeBitmap(const RgbImage& image) {
    const int imageSize = bitmapRowSize(image.width, 24) * image.height;
    const int offset = bitmapFileHeaderSize + bitmapInfoHeaderSize;
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
    const int colourBytes = bitmapRowSize(image.width, 24) * image.height;
    const int maskRow = bitmapRowSize(image.width, 1);
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
    out.u32(static_cast<std::uint32_t>(bitmapInfoHeaderSize + imageSize));
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

} // namespace jangora
