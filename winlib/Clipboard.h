// The clipboard: a Unicode text put on it in one step, the clipboard open only for that step.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

// Writes a text into out (capacity characters, the terminator included) and returns its length.
using ClipboardTextWriter = std::function<size_t(wchar_t* out, size_t capacity)>;

// Replaces the clipboard's contents with a text, the owner window becoming the clipboard's
// owner. write fills the very block of global memory the clipboard takes, capacity characters
// large; the block is shrunk to the text before it is handed over. 0 or the Win32 error code of
// the call that failed.
DWORD PutTextOnClipboard(HWND owner, size_t capacity, const ClipboardTextWriter& write);
