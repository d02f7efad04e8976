// A plain 32-bit picture, rows top-down, each pixel 0x00RRGGBB: the layout of a top-down DIB
// section, so a window blits it as it is, and portable code draws into it and is tested natively.
#pragma once

#include <cstdint>
#include <vector>

using Colour = uint32_t;  // 0x00RRGGBB

constexpr Colour RgbColour(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

// A rectangle of pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, Colour fill = kWhite);

    int Width() const { return width; }
    int Height() const { return height; }
    // Every pixel, row after row from the top; empty for a picture of no pixels.
    const Colour* Pixels() const { return pixels.data(); }
    Colour* Pixels() { return pixels.data(); }

    // Outside the picture: kWhite, and nothing drawn.
    Colour At(int x, int y) const;
    void Set(int x, int y, Colour colour);
    // Clipped to the picture; an empty or reversed rectangle draws nothing.
    void Fill(const PixelRect& rect, Colour colour);
    void HorizontalLine(int x0, int x1, int y, Colour colour);  // x0..x1 inclusive
    void VerticalLine(int x, int y0, int y1, Colour colour);    // y0..y1 inclusive

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;
};
