// The clipboard: a Unicode text, or a picture with a text, put on it in one step, the clipboard
// open only for that step.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "PixelBuffer.h"

// Writes a text into out (capacity characters, the terminator included) and returns its length.
using ClipboardTextWriter = std::function<size_t(wchar_t* out, size_t capacity)>;

// Replaces the clipboard's contents with a text, the owner window becoming the clipboard's
// owner. write fills the very block of global memory the clipboard takes, capacity characters
// large; the block is shrunk to the text before it is handed over. 0 or the Win32 error code of
// the call that failed.
DWORD PutTextOnClipboard(HWND owner, size_t capacity, const ClipboardTextWriter& write);

// A picture of 32-bit pixels (0x00RRGGBB, rows top-down) as it goes on the clipboard.
struct ClipboardPicture {
    const Colour* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Replaces the clipboard's contents with a picture (CF_DIB, from which the system offers the
// other bitmap formats) and a text (CF_UNICODETEXT, written as PutTextOnClipboard writes it),
// both in one opening, so a paste target finds whichever it takes. 0 or the Win32 error code.
DWORD PutPictureAndTextOnClipboard(HWND owner,
                                   const ClipboardPicture& picture,
                                   size_t capacity,
                                   const ClipboardTextWriter& write);
