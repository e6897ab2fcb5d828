#include "ui/form1_description.h"

#include <array>

namespace jangora {

namespace {

using enum ControlKind;

constexpr int lineCount = 11;
constexpr int imageCount = 46;
constexpr int controlCount = 4 + imageCount + 3 + lineCount;

constexpr FontDescription arial24{"Arial", 24, 400};
constexpr FontDescription sansSerif18{"MS Sans Serif", 18, 400};
constexpr FontDescription sansSerif10Bold{"MS Sans Serif", 9.75, 700};

constexpr ControlDescription timer(std::string_view name, int interval, bool enabled) {
    return {.kind = Timer, .name = name, .enabled = enabled, .interval = interval};
}

// A stop of the virtual reel: hidden, and only a holder of a picture.
constexpr ControlDescription reelStop(std::int16_t stop) {
    const bool stopZero = stop == 0;
    return {.kind = Image,
            .name = "picSlot",
            .index = stop,
            .left = stopZero ? 3960 : 0,
            .top = stopZero ? 3120 : 0,
            .width = 1215,
            .height = 495,
            .visible = false};
}

// A reel window: a screen reader reads the symbol it shows.
constexpr ControlDescription reelWindow(std::int16_t index, int left, int width,
                                        std::string_view reel) {
    return {.kind = Image,
            .name = "picInSlot",
            .index = index,
            .left = left,
            .top = 2040,
            .width = width,
            .height = 855,
            .stretch = true,
            .accessible = {.role = AccessibleRole::Label, .description = reel}};
}

// A hidden control that only holds a symbol's picture.
constexpr ControlDescription symbolTemplate(std::string_view name, int left, int top,
                                            std::string_view picture) {
    return {.kind = Image,
            .name = name,
            .left = left,
            .top = top,
            .width = 2400,
            .height = 1050,
            .visible = false,
            .picture = picture};
}

constexpr ControlDescription line(std::string_view name, int x1, int y1, int x2, int y2,
                                  int borderWidth) {
    return {.kind = Line,
            .name = name,
            .x1 = x1,
            .y1 = y1,
            .x2 = x2,
            .y2 = y2,
            .borderWidth = borderWidth};
}

constexpr std::array<ControlDescription, controlCount> describeControls() {
    std::array<ControlDescription, controlCount> controls{};
    std::size_t next = 0;
    const auto add = [&](const ControlDescription& control) { controls[next++] = control; };

    add(timer("Timer4", 1, true));
    add(timer("Timer3", 160, false));
    add(timer("Timer2", 750, true));
    add(timer("Timer1", 1, false));
    add({.kind = Image,
         .name = "Image4",
         .left = 8760,
         .top = 6480,
         .width = 495,
         .height = 480,
         .picture = "print_button.bmp",
         .accessible = {.role = AccessibleRole::PushButton,
                        .name = "Print the window",
                        .description = "Asks, then prints the window as it looks now"},
         .tabIndex = 1});
    add(reelStop(32));
    add(reelStop(31));
    add(reelWindow(2, 6480, 1935, "Reel 3"));
    add(reelWindow(1, 3600, 2055, "Reel 2"));
    add(reelWindow(0, 840, 2055, "Reel 1"));
    add(reelStop(30));
    add(symbolTemplate("picCherry", 4080, 840, "cherry.bmp"));
    add(symbolTemplate("pic7", 4680, 3240, "seven.bmp"));
    add(symbolTemplate("picCash", 3600, 4320, "cash.bmp"));
    add(symbolTemplate("PicBox", 6120, 5520, "box.bmp"));
    add(symbolTemplate("picBanana", 0, 840, "banana.bmp"));
    add(symbolTemplate("picApple", 7080, 3120, "apple.bmp"));
    for (std::int16_t stop = 29; stop >= 0; --stop) {
        add(reelStop(stop));
    }
    add({.kind = Image,
         .name = "Image3",
         .left = 120,
         .top = 3480,
         .width = 1665,
         .height = 2340,
         .visible = false,
         .stretch = true,
         .picture = "lever_pulled.bmp"});
    add({.kind = Label,
         .name = "Label4",
         .left = 0,
         .top = 6480,
         .width = 1335,
         .height = 495,
         .caption = "Jangora team",
         .font = sansSerif10Bold,
         .foreColor = 0x0000FF,
         .accessible = {.role = AccessibleRole::Label, .description = "Credits"}});
    add({.kind = Label,
         .name = "Label3",
         .left = 240,
         .top = 720,
         .width = 8655,
         .height = 615,
         .caption = "No game on.",
         .font = arial24,
         .foreColor = 0x000080,
         .alignment = Alignment::Center,
         .accessible = {.role = AccessibleRole::StatusBar}});
    // The frame around the bankroll.
    add(line("Line11", 1800, 6360, 5400, 6360, 3));
    add(line("Line10", 1800, 5880, 1800, 6360, 3));
    add(line("Line9", 1800, 5880, 4800, 5880, 3));
    add(line("Line8", 5400, 6360, 5400, 5880, 3));
    add(line("Line7", 4800, 5880, 5400, 5880, 3));
    add({.kind = Image,
         .name = "Image2",
         .left = 2400,
         .top = 5280,
         .width = 2490,
         .height = 615,
         .stretch = true,
         .picture = "banner.bmp",
         .accessible = {.role = AccessibleRole::Graphic}});
    add({.kind = Label,
         .name = "Label2",
         .left = 1800,
         .top = 5880,
         .width = 3615,
         .height = 495,
         .font = sansSerif18,
         .backColor = 0xC0FFC0,
         .alignment = Alignment::Center,
         .accessible = {
             .role = AccessibleRole::Label, .description = "Bankroll", .statusItem = true}});
    add({.kind = Image,
         .name = "Image1",
         .left = 6720,
         .top = 4200,
         .width = 1665,
         .height = 2340,
         .stretch = true,
         .picture = "lever_at_rest.bmp",
         .accessible = {.role = AccessibleRole::PushButton,
                        .name = "Lever",
                        .description = "Pull to play a spin for 25 cents"},
         .tabIndex = 0});
    // The bars below and above the three reel windows.
    add(line("Line6", 840, 3000, 2880, 3000, 4));
    add(line("Line5", 840, 1920, 2880, 1920, 4));
    add(line("Line4", 3600, 1920, 5640, 1920, 4));
    add(line("Line3", 3600, 3000, 5640, 3000, 4));
    add(line("Line2", 8400, 3000, 6360, 3000, 4));
    add(line("Line1", 6360, 1920, 8400, 1920, 4));
    return controls;
}

constexpr std::array<ControlDescription, controlCount> controls = describeControls();

} // namespace

const FormDescription form1Window{.application = "Jangora",
                                  .desktopEntry = "org.jangora.Jangora",
                                  .caption = "Jangora 2.4",
                                  .clientWidth = 9105,
                                  .clientHeight = 6735,
                                  .backColor = 0xFFFFFF,
                                  .icon = "jangora.ico",
                                  .iconRenditions = "icons"};

std::span<const ControlDescription> form1Controls() {
    return controls;
}

} // namespace jangora
