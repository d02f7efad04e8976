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

// A context menu made in code: its items are appended one by one and it is shown at a point of
// the screen until the user picks an item or dismisses it. The menu is the library's Menu, which
// owns it and destroys it with the object.
class PopupMenu {
public:
    PopupMenu();

    // Appends an item whose choice returns command. 0 or the Win32 error code.
    DWORD AppendItem(UINT command, const wchar_t* text);
    // Shows the menu for owner at a point of the screen and waits for the user: the command of
    // the chosen item, 0 when the menu was dismissed (or could not be shown).
    UINT Track(HWND owner, POINT screen);
    bool Valid() const { return menu.hmenu != nullptr; }

private:
    Menu menu;
};

class MenuExt final : public WindowExt, public Menu {
public:
    explicit MenuExt(int32_t resourceId) : Menu(resourceId) {}

    // Loads the menu (replacing one loaded before) and sets it on the window.
    DWORD Attach(Window* target) override;
    LRESULT PreviewMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(RECT* client) override;
};
