#pragma once

#include "runtime/picture.h"
#include "ui/picture_list.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace jangora {

// Gives the bytes of a picture file carried with the program, where they lie for as long as the
// program runs, or nothing if it is missing.
using PictureReader = std::function<std::optional<std::span<const std::uint8_t>>(std::string_view)>;

// Reads and checks every picture; a missing or malformed one is a StartupError that says
// which picture and what is wrong with it.
[[nodiscard]] PictureSet loadPictures(const PictureReader& read);

} // namespace jangora
