// Centring arithmetic for dialogs. C++ division truncates toward zero, which is the rule wanted
// for a dialog larger than its owner; 64-bit intermediates keep extreme rectangles from
// overflowing.
#include "CentredOrigin.h"

namespace {

std::int32_t Centre(std::int32_t from, std::int32_t to, std::int32_t ownFrom, std::int32_t ownTo) {
    const std::int64_t offset = ((static_cast<std::int64_t>(to) - from) -
                                 (static_cast<std::int64_t>(ownTo) - ownFrom)) / 2;
    return static_cast<std::int32_t>(from + offset);
}

}  // namespace

ScreenPoint CentredOrigin(std::int32_t referenceLeft, std::int32_t referenceTop,
                          std::int32_t referenceRight, std::int32_t referenceBottom,
                          std::int32_t ownLeft, std::int32_t ownTop, std::int32_t ownRight,
                          std::int32_t ownBottom) {
    ScreenPoint origin;
    origin.x = Centre(referenceLeft, referenceRight, ownLeft, ownRight);
    origin.y = Centre(referenceTop, referenceBottom, ownTop, ownBottom);
    return origin;
}
