#pragma once

#include <array>
#include <string_view>

namespace jangora {

struct PictureFile {
    std::string_view file;
    int width;
    int height;
    std::string_view shows; // in words, for a screen reader
    bool icon = false;
};

// The eleven pictures the window carries, by the file names its description gives them. The
// one list of them: the build embeds the files it names, start-up checks them, and the
// picture program paints them.
inline constexpr std::array<PictureFile, 11> form1Pictures{{
    {"jangora.ico", 16, 16, "four dice", true},
    {"print_button.bmp", 33, 32, "a red button"},
    {"cherry.bmp", 160, 70, "cherry"},
    {"seven.bmp", 160, 70, "seven"},
    {"cash.bmp", 160, 70, "dollar sign"},
    {"box.bmp", 160, 70, "box"},
    {"banana.bmp", 160, 70, "banana"},
    {"apple.bmp", 160, 70, "apple"},
    {"lever_at_rest.bmp", 180, 180, "the lever, up"},
    {"lever_pulled.bmp", 180, 180, "the lever, pulled"},
    {"banner.bmp", 190, 50, "$$ CASH LEFT $$"},
}};

} // namespace jangora
