// Where a window goes to be centred over another: pure arithmetic on screen rectangles, shared
// by the dialogs and their tests.
#pragma once

#include <cstdint>

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Rectangles as GetWindowRect gives them (exclusive right and bottom). Halves are truncated
// toward zero, so a window larger than the reference overhangs it evenly on both sides.
ScreenPoint CentredOrigin(std::int32_t referenceLeft, std::int32_t referenceTop,
                          std::int32_t referenceRight, std::int32_t referenceBottom,
                          std::int32_t ownLeft, std::int32_t ownTop, std::int32_t ownRight,
                          std::int32_t ownBottom);
