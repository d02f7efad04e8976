// A double buffer for a window that paints pixels: a 32-bit top-down DIB section selected into a
// memory device context. The window draws a portable picture into it (and its texts over it with
// the memory DC), then blits the whole at once, so a resize or a redraw never shows a half-drawn
// frame. The bits are also what a copy of "the picture as the window shows it" takes.
#pragma once

#include <windows.h>

#include "GdiObjects.h"
#include "PixelBuffer.h"

class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Makes the buffer width x height pixels (kept when it has that size already). 0 or the
    // Win32 error code of the call that failed; the canvas is then empty.
    DWORD Resize(int width, int height);
    int Width() const { return width; }
    int Height() const { return height; }
    bool Empty() const { return bits == nullptr; }

    // The memory DC holding the buffer, for texts drawn over the picture.
    HDC Dc() const { return dc.Get(); }
    // Copies a picture of the canvas's size into the buffer.
    void Show(const PixelBuffer& picture);
    // The buffer's pixels (0x00RRGGBB, rows top-down), once GDI has finished drawing into it.
    const Colour* Pixels() const;
    // Blits the buffer to target at (x, y).
    void PaintTo(HDC target, int x, int y) const;

private:
    void Release();

    // Declared so they go in the right order: the selection is undone before the bitmap is
    // deleted, and the bitmap before the DC.
    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    SelectedObject selection;
    Colour* bits = nullptr;  // owned by the bitmap
    int width = 0;
    int height = 0;
};
