// The back buffer of a painting window.
#include "Canvas.h"

#include <cstring>

namespace {
constexpr WORD kBitsPerPixel = 32;
}

void Canvas::Release() {
    selection.Restore();
    bitmap.Reset();
    dc.Reset();
    bits = nullptr;
    width = 0;
    height = 0;
}

DWORD Canvas::Resize(int newWidth, int newHeight) {
    if (bits != nullptr && newWidth == width && newHeight == height) {
        return 0;
    }
    Release();
    if (newWidth <= 0 || newHeight <= 0) {
        return 0;  // nothing to show; painting then draws nothing
    }
    SetLastError(0);
    dc.Reset(CreateCompatibleDC(nullptr));
    if (!dc) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = newWidth;
    info.bmiHeader.biHeight = -newHeight;  // negative: rows top-down, as PixelBuffer holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap.Reset(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || pixels == nullptr) {
        const DWORD error = GetLastError();
        Release();
        return error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY;
    }
    selection = SelectedObject(dc.Get(), bitmap.Get());
    bits = static_cast<Colour*>(pixels);
    width = newWidth;
    height = newHeight;
    return 0;
}

void Canvas::Show(const PixelBuffer& picture) {
    if (bits == nullptr || picture.Width() != width || picture.Height() != height) {
        return;
    }
    GdiFlush();  // GDI may still be writing into the bits
    std::memcpy(bits, picture.Pixels(),
                static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(Colour));
}

const Colour* Canvas::Pixels() const {
    GdiFlush();
    return bits;
}

void Canvas::PaintTo(HDC target, int x, int y) const {
    if (bits != nullptr) {
        BitBlt(target, x, y, width, height, dc.Get(), 0, 0, SRCCOPY);
    }
}
