#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace jangora {

// One of the window's pictures: the complete BMP or ICO file as it is carried with the
// program. The model only hands pictures from control to control; the host decodes the
// pixels, once per picture.
struct PictureData {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};

// Assigning a picture shares it; the bytes are never copied or changed.
using Picture = std::shared_ptr<const PictureData>;

using PictureSet = std::map<std::string, Picture, std::less<>>;

} // namespace jangora
