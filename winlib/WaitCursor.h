// The wait cursor for the length of a scope: shown for work that keeps the window's thread busy
// for seconds (a copy of a million rows), and the previous cursor put back afterwards.
#pragma once

#include <windows.h>

class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};
