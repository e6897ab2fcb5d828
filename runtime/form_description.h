#pragma once

#include <cstdint>
#include <string_view>

namespace jangora {

// The window and its controls as fixed data: positions in twips from the top-left corner of
// the client area, colours as 0xRRGGBB, pictures by file name.

using Color = std::uint32_t;

enum class ControlKind { Timer, Image, Label, Line };

enum class Alignment { Left, Center };

struct FontDescription {
    std::string_view name{};
    double points = 0;
    int weight = 400;
    bool operator==(const FontDescription&) const = default;
};

// What a screen reader is told of a control. A label's name is its caption, and that of an
// image presented as a label is what its picture shows (nothing while it is hidden). The
// window's status bar is a label whose caption, followed by those of the status items, is
// read out whenever one of them changes, and on demand (Orca's where-am-I).
enum class AccessibleRole { None, PushButton, Label, StatusBar, Graphic };

struct AccessibleDescription {
    AccessibleRole role = AccessibleRole::None;
    std::string_view name{};
    std::string_view description{};
    bool statusItem = false; // read with the status bar
};

struct ControlDescription {
    ControlKind kind = ControlKind::Image;
    std::string_view name{};
    std::int16_t index = -1; // -1: not an element of a control array
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int borderWidth = 1; // pixels
    bool visible = true;
    bool enabled = true;
    bool stretch = false;
    std::string_view picture{};
    std::string_view caption{};
    FontDescription font{};
    Color foreColor = 0x000000;
    Color backColor = 0xFFFFFF;
    Alignment alignment = Alignment::Left;
    int interval = 0; // milliseconds
    AccessibleDescription accessible{};
    int tabIndex = -1; // its place in the keyboard's order; -1 for none
};

struct FormDescription {
    std::string_view application{};  // the program's name, as the desktop shows it
    std::string_view desktopEntry{}; // the name of its desktop file, without .desktop
    std::string_view caption{};
    int clientWidth = 0;
    int clientHeight = 0;
    Color backColor = 0xFFFFFF;
    std::string_view icon{};
    // A folder of the program's files that holds the icon at larger sizes, one PNG a size.
    std::string_view iconRenditions{};
};

} // namespace jangora
