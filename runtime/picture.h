#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

namespace jangora {

// One of the window's pictures: the complete BMP or ICO file as it is carried with the
// program. The model only hands pictures from control to control; the host decodes the
// pixels, once per picture.
struct PictureData {
    std::string name;
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> bytes; // where the program carries it, for its whole run
    std::string shows;                   // what it shows, in words
};

// The pictures a form is built with, by file name. The form keeps its set for as long as it
// lives, so a handle to one of them stays valid in any of its controls.
using PictureSet = std::map<std::string, std::shared_ptr<const PictureData>, std::less<>>;

// A control's picture: a handle to one of its form's pictures, or null for none. Assigning it
// copies a pointer: a spin hands thousands of pictures on, and a reference count would cost
// more than the draw itself.
using Picture = const PictureData*;

} // namespace jangora
