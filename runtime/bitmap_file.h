#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace jangora {

// The window's pictures are plain Windows bitmaps and a one-image icon, laid out exactly:
// 24 bits per pixel, no compression, rows bottom-up and padded to 4 bytes, 2834 pixels per
// metre for the bitmaps. The picture program (tools/) writes them and start-up checks them
// here.

inline constexpr int bitmapPixelsPerMetre = 2834; // 72 dots per inch
inline constexpr int iconSize = 16;
inline constexpr int bitmapFileHeaderSize = 14;
inline constexpr int bitmapInfoHeaderSize = 40;
inline constexpr int iconDirectorySize = 6 + 16;

// The bytes of a row of pixels, padded to 4.
[[nodiscard]] constexpr int bitmapRowSize(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// What is wrong with a file that should be such a bitmap or icon; empty when nothing is.
[[nodiscard]] std::string bitmapProblem(std::span<const std::uint8_t> file, int width, int height);
[[nodiscard]] std::string iconProblem(std::span<const std::uint8_t> file);

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows top-down
};

// The pixels of a bitmap or icon laid out as above: opaque, but for an icon's transparent
// ones, which are 0. Any other file gives an empty image.
[[nodiscard]] ArgbImage decodeBitmapOrIcon(std::span<const std::uint8_t> file);

} // namespace jangora
