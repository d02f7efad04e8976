// A minimal self-checking harness for tests that must run on Windows (under Wine here): named
// cases, checks that record failures with their line, a summary as the exit code, and a catcher
// for the message boxes that the code under test shows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

struct WinCase {
    const char* name;
    std::function<void()> body;
};

inline std::vector<WinCase>& WinCases() {
    static std::vector<WinCase> cases;
    return cases;
}

inline int& WinFailures() {
    static int failures = 0;
    return failures;
}

struct WinCaseRegistrar {
    WinCaseRegistrar(const char* name, std::function<void()> body) {
        WinCases().push_back({name, std::move(body)});
    }
};

#define WIN_CASE(name)                                    \
    static void name();                                   \
    static WinCaseRegistrar name##Registrar(#name, name); \
    static void name()

#define WIN_CHECK(condition)                                                     \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::printf("  FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++WinFailures();                                                     \
        }                                                                        \
    } while (0)

inline int RunWinCases() {
    int failedCases = 0;
    for (const WinCase& c : WinCases()) {
        int before = WinFailures();
        c.body();
        bool ok = WinFailures() == before;
        failedCases += ok ? 0 : 1;
        std::printf("%s %s\n", ok ? "[  OK  ]" : "[FAILED]", c.name);
        std::fflush(stdout);
    }
    std::printf("%zu cases, %d failed\n", WinCases().size(), failedCases);
    return failedCases == 0 ? 0 : 1;
}

// Message boxes of the calling thread, recorded and closed (with OK) as they open, for as long
// as the catcher lives: their caption, their text and their owner window.
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
