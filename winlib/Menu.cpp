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

namespace {
constexpr int32_t kNoResource = 0;  // a menu made in code comes from no resource
}

PopupMenu::PopupMenu() : menu(kNoResource) {
    menu.hmenu = CreatePopupMenu();
    menu.owned = menu.hmenu != nullptr;
}

DWORD PopupMenu::AppendItem(UINT command, const wchar_t* text) {
    SetLastError(0);
    if (!AppendMenuW(menu.hmenu, MF_STRING, command, text)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_INVALID_MENU_HANDLE;
    }
    return 0;
}

UINT PopupMenu::Track(HWND owner, POINT screen) {
    if (menu.hmenu == nullptr) {
        return 0;
    }
    // TPM_RETURNCMD: the choice comes back here instead of as a WM_COMMAND, so the caller acts
    // on it with what it knew when it showed the menu.
    return static_cast<UINT>(
        TrackPopupMenu(menu.hmenu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       screen.x, screen.y, 0, owner, nullptr));
}
