#pragma once

#include <cstdint>
#include <vector>

namespace jangora {

// Writes the window's pictures in the layout start-up checks (runtime/bitmap_file.h).

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB, rows top-down
};

[[nodiscard]] std::vector<std::uint8_t> encodeBitmap(const RgbImage& image);

// `transparent` has one entry per pixel, rows top-down.
[[nodiscard]] std::vector<std::uint8_t> encodeIcon(const RgbImage& image,
                                                   const std::vector<bool>& transparent);

} // namespace jangora
