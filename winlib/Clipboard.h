// The clipboard: a Unicode text put on it in one step, the clipboard open only for that step.
#pragma once

#include <windows.h>

#include "Handles.h"

// A block of global memory locked for as long as the object lives.
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL locked);
    ~GlobalMemoryLock();
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    void* Data() const { return data; }  // null when the lock failed
    DWORD Error() const { return error; }

private:
    HGLOBAL block;
    void* data;
    DWORD error;
};

// The clipboard, open for the calling thread for as long as the object lives.
class ClipboardOpening {
public:
    explicit ClipboardOpening(HWND owner);
    ~ClipboardOpening();
    ClipboardOpening(const ClipboardOpening&) = delete;
    ClipboardOpening& operator=(const ClipboardOpening&) = delete;

    DWORD Error() const { return error; }  // 0 when the clipboard is open

private:
    DWORD error;
};

// Replaces the clipboard's contents with a block (moveable global memory) that holds a
// zero-terminated UTF-16 text, the owner window becoming the clipboard's owner. The clipboard
// takes the block when it succeeds; otherwise the caller still owns it. 0 or the Win32 error
// code of the call that failed.
DWORD PutTextOnClipboard(HWND owner, UniqueGlobalMemory& text);
