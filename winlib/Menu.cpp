// Menus from resources and their attachment to a window.
#include "Menu.h"

void Menu::Release() {
    if (hmenu != nullptr && owned) {
        DestroyMenu(hmenu);
    }
    hmenu = nullptr;
    owned = FALSE;
}

DWORD MenuExt::Attach(Window* target) {
    window = target->hwnd;
    Release();
    hmenu = LoadMenuW(moduleInstance, MAKEINTRESOURCEW(menuId & 0xFFFF));
    if (hmenu != nullptr) {
        owned = TRUE;
    } else {
        DWORD error = GetLastError();
        if (error != 0) {
            return error;
        }
    }
    if (!SetMenu(window, hmenu)) {
        return GetLastError();
    }
    return 0;
}

LRESULT MenuExt::PreviewMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

void MenuExt::OnSize(RECT*) {}
