#pragma once

#include <QPointF>

// Where a player clicks, in pixels of the game's client area at its starting size: the middle
// of the lever, and the part of the print button that shows. The end-to-end tests read them
// from here too (tests/e2e/lib.sh).
namespace jangora::testing {

inline constexpr QPointF lever{503, 358};
inline constexpr QPointF printButton{590, 440};

} // namespace jangora::testing
