// Drawing into a plain pixel buffer. Every operation clips, so callers may hand it coordinates
// computed from counts and sizes without checking them first.
#include "PixelBuffer.h"

#include <algorithm>
#include <cstddef>

PixelBuffer::PixelBuffer(int pictureWidth, int pictureHeight, Colour fill)
    : width(std::max(pictureWidth, 0)),
      height(std::max(pictureHeight, 0)),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

Colour PixelBuffer::At(int x, int y) const {
    return Inside(x, y) ? pixels[static_cast<size_t>(y) * width + x] : kWhite;
}

void PixelBuffer::Set(int x, int y, Colour colour) {
    if (Inside(x, y)) {
        pixels[static_cast<size_t>(y) * width + x] = colour;
    }
}

void PixelBuffer::Fill(const PixelRect& rect, Colour colour) {
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, width);
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, height);
    if (left >= right) {
        return;
    }
    for (int y = top; y < bottom; ++y) {
        Colour* row = &pixels[static_cast<size_t>(y) * width];
        std::fill(row + left, row + right, colour);
    }
}

void PixelBuffer::HorizontalLine(int x0, int x1, int y, Colour colour) {
    Fill({std::min(x0, x1), y, std::max(x0, x1) + 1, y + 1}, colour);
}

void PixelBuffer::VerticalLine(int x, int y0, int y1, Colour colour) {
    Fill({x, std::min(y0, y1), x + 1, std::max(y0, y1) + 1}, colour);
}
