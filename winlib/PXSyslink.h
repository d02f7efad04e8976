// The library's hyperlink control: shows its window text (an address) underlined in blue, draws a
// focus rectangle while the pointer is over it, and opens the address with the shell on a click.
#pragma once

#include "Handles.h"
#include "Window.h"

constexpr const wchar_t* kSyslinkClassName = L"PXSYSLINK";

class PXSyslink final : public Window {
public:
    PXSyslink() = default;
    // Deletes the font; the window itself goes with its parent.
    ~PXSyslink() = default;

    void OnPaint(HDC dc) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    int32_t hover = 0;  // 1 while the pointer is over the control and it holds the capture
    UniqueFont font;    // set by the owner after creation; selected while painting
};

// Registers the "PXSYSLINK" class once, during static initialisation, before the entry runs.
class PXSyslinkReg {
public:
    PXSyslinkReg();
};
