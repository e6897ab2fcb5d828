#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The window's icon: four dice faces on a black square.
namespace dice_icon {

// The icon file, 16 x 16, exactly as the game checks it at start-up.
std::vector<std::uint8_t> file();

// The same design drawn smoothly at a larger size, for the desktop's icon theme.
QImage drawn(int size);

} // namespace dice_icon
