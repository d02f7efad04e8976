// A menu loaded from the program's resources, and the window extension that attaches it to its
// window as soon as the window exists.
#pragma once

#include "Window.h"

class Menu {
public:
    explicit Menu(int32_t resourceId) : menuId(resourceId) {}
    ~Menu() { Release(); }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU hmenu = nullptr;  // the loaded menu, or null
    BOOL owned = FALSE;     // hmenu was loaded here and is destroyed here
    int32_t menuId;         // resource identifier; its low 16 bits are used
    HWND window = nullptr;  // the window the menu was attached to

    // Destroys the menu if this object loaded it. After its window is gone the system has
    // already destroyed an attached menu; the call then fails harmlessly.
    void Release();
};

class MenuExt final : public WindowExt, public Menu {
public:
    explicit MenuExt(int32_t resourceId) : Menu(resourceId) {}

    // Loads the menu (replacing one loaded before) and sets it on the window.
    DWORD Attach(Window* target) override;
    LRESULT PreviewMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(RECT* client) override;
};
