#pragma once

#include "runtime/picture.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace jangora {

struct PictureFile {
    std::string_view file;
    int width;
    int height;
    bool icon = false;
};

// The eleven pictures the window carries, by the file names its description gives them.
inline constexpr std::array<PictureFile, 11> form1Pictures{{
    {"jangora.ico", 16, 16, true},
    {"print_button.bmp", 33, 32},
    {"cherry.bmp", 160, 70},
    {"seven.bmp", 160, 70},
    {"cash.bmp", 160, 70},
    {"box.bmp", 160, 70},
    {"banana.bmp", 160, 70},
    {"apple.bmp", 160, 70},
    {"lever_at_rest.bmp", 180, 180},
    {"lever_pulled.bmp", 180, 180},
    {"banner.bmp", 190, 50},
}};

// Gives the bytes of a picture file carried with the program, or nothing if it is missing.
using PictureReader = std::function<std::optional<std::vector<std::uint8_t>>(std::string_view)>;

// Reads and checks every picture; a missing or malformed one is a StartupError that says
// which picture and what is wrong with it.
[[nodiscard]] PictureSet loadPictures(const PictureReader& read);

} // namespace jangora
