// The system's list-view and static controls as window objects: created through Window::Create,
// subclassed so their messages reach the object, and bound through their user-data slot so a
// parent's routing finds them for reflected notifications.
#pragma once

#include "Window.h"

namespace CommonControls {

class CommonControl : public Window {
public:
    // The brush for a control in a dialog (WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC); 0 lets the
    // dialog choose.
    virtual LRESULT OnCtlColor(HDC dc);

protected:
    CommonControl() = default;
    ~CommonControl() = default;
    // Creates the control, subclasses it, binds it and shows it.
    DWORD CreateControl(Window* parentWindow,
                        const wchar_t* className,
                        const wchar_t* text,
                        DWORD style,
                        uint16_t windowFlags);
};

class ListView final : public CommonControl {
public:
    // style: the list-view styles; WS_CHILD is added.
    DWORD Create(Window* parentWindow, DWORD style);
};

class Static final : public CommonControl {
public:
    int32_t iconId = 0;  // the icon resource shown; the window text is "#" and this number

    // style: the static styles (SS_ICON for an icon); WS_CHILD is added.
    DWORD Create(Window* parentWindow, DWORD style);
};

// Installed on every wrapped control: the object's HandleMessage first, then the control's own.
LRESULT CALLBACK SubclassProcedure(HWND hwnd,
                                   UINT message,
                                   WPARAM wParam,
                                   LPARAM lParam,
                                   UINT_PTR id,
                                   DWORD_PTR object);

}  // namespace CommonControls
