// A catcher for the message boxes that the code under test shows: while it lives, every box of
// the calling thread is recorded (caption, text, owner window) and closed with OK as it opens.
#pragma once

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

struct CaughtBox {
    std::wstring caption;
    std::wstring text;
    HWND owner;
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher() : hook(SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId())) {
        Boxes().clear();
    }
    ~MessageBoxCatcher() { UnhookWindowsHookEx(hook); }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    static std::vector<CaughtBox>& Boxes() {
        static std::vector<CaughtBox> boxes;
        return boxes;
    }
    // Called as each box opens, before it is closed (for looking at the program meanwhile).
    static std::function<void(const CaughtBox&)>& OnBox() {
        static std::function<void(const CaughtBox&)> onBox;
        return onBox;
    }

private:
    static constexpr int kTextId = 0xFFFF;  // the static control that holds a box's text

    static std::wstring Text(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE) {
            HWND box = reinterpret_cast<HWND>(wParam);
            wchar_t className[16] = {};
            GetClassNameW(box, className, 16);
            if (std::wcscmp(className, L"#32770") == 0) {
                Boxes().push_back(
                    {Text(box), Text(GetDlgItem(box, kTextId)), GetWindow(box, GW_OWNER)});
                if (OnBox()) {
                    OnBox()(Boxes().back());
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook;
};
