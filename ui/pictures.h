#pragma once

#include "runtime/picture.h"
#include "ui/picture_list.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace jangora {

// Gives the bytes of a picture file carried with the program, or nothing if it is missing.
using PictureReader = std::function<std::optional<std::vector<std::uint8_t>>(std::string_view)>;

// Reads and checks every picture; a missing or malformed one is a StartupError that says
// which picture and what is wrong with it.
[[nodiscard]] PictureSet loadPictures(const PictureReader& read);

} // namespace jangora
