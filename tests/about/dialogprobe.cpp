// dialogprobe: runs the window library's in-memory dialogs for real, inside Wine, and reports
// what happened as JSON lines for test_about.py. It covers what the native tests of the byte
// layout cannot: the system accepting the template with the message font, the result of a
// modal run ended by IDOK/IDCANCEL whatever the notification code, centring on the desktop, a
// template run twice, and templates that must show nothing at all.
//
// Each dialog is ended from a thread timer that fires inside the dialog's own modal loop; a
// dialog still open after a few seconds is ended too and reported as such.
#include <windows.h>

#include <cstdio>
#include <string>

#include "DialogTemplate.h"

namespace {

constexpr UINT kTimerMs = 100;
constexpr int kGiveUpTicks = 50;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kButtonAtom = 0x0080;
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON;

struct Ending {
    WPARAM command = 0;  // what to post to the dialog once it is seen
    int ticks = 0;
    bool seen = false;
    RECT seenRect = {};
    HWND dialog = nullptr;
};
Ending ending;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        ending.dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    ending.dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (ending.dialog != nullptr) {
        ending.seen = true;
        GetWindowRect(ending.dialog, &ending.seenRect);
        PostMessageW(ending.dialog, WM_COMMAND, ending.command, 0);
        KillTimer(nullptr, timer);
    } else if (++ending.ticks > kGiveUpTicks) {
        KillTimer(nullptr, timer);
    }
}

class ProbeDialog : public DialogTemplate {
public:
    ProbeDialog() : DialogTemplate(nullptr) {}
    DWORD OnInitDialog(HWND) override {
        initialised++;
        return 0;
    }
    void OnOK() override { oks++; }
    void OnCancel() override { cancels++; }
    int initialised = 0;
    int oks = 0;
    int cancels = 0;
};

INT_PTR Run(ProbeDialog& dialog, WPARAM command, bool& shown, RECT& where) {
    ending = Ending();
    ending.command = command;
    UINT_PTR timer = SetTimer(nullptr, 0, kTimerMs, OnTick);
    INT_PTR result = dialog.RunModal();
    KillTimer(nullptr, timer);
    shown = ending.seen;
    where = ending.seenRect;
    return result;
}

void Print(const char* name, const ProbeDialog& dialog, bool begun, INT_PTR result, bool shown,
           const RECT& where) {
    std::printf("{\"case\":\"%s\",\"begun\":%s,\"usable\":%s,\"result\":%ld,\"shown\":%s,"
                "\"initialised\":%d,\"oks\":%d,\"cancels\":%d,"
                "\"rect\":[%ld,%ld,%ld,%ld],\"size\":%lu}\n",
                name, begun ? "true" : "false", dialog.Usable() ? "true" : "false",
                static_cast<long>(result), shown ? "true" : "false", dialog.initialised,
                dialog.oks, dialog.cancels, static_cast<long>(where.left),
                static_cast<long>(where.top), static_cast<long>(where.right),
                static_cast<long>(where.bottom), static_cast<unsigned long>(dialog.Size()));
    std::fflush(stdout);
}

void Build(ProbeDialog& dialog, bool& begun, const std::wstring& caption,
           const std::wstring& text) {
    begun = dialog.Begin(RECT{0, 0, 200, 40}, caption.c_str());
    dialog.AddItem(RECT{40, 10, 139, 19}, kStaticStyle, 0xFFFFFFFF, kStaticAtom, text.c_str());
    dialog.AddItem(RECT{145, 8, 194, 19}, kButtonStyle, IDOK, kButtonAtom, L"OK");
}

}  // namespace

int main() {
    moduleInstance = GetModuleHandleW(nullptr);
    bool shown = false;
    RECT where = {};

    {
        // IDOK with a notification code other than BN_CLICKED still ends it with 1; run again,
        // IDCANCEL ends the same template's second run with 2.
        ProbeDialog dialog;
        bool begun = false;
        Build(dialog, begun, L"Probe", L"text");
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 5), shown, where);
        Print("ok_code5", dialog, begun, result, shown, where);
        result = Run(dialog, MAKEWPARAM(IDCANCEL, 0), shown, where);
        Print("cancel_second_run", dialog, begun, result, shown, where);
    }
    {
        ProbeDialog dialog;
        bool begun = false;
        Build(dialog, begun, std::wstring(40000, L'c'), L"text");
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 0), shown, where);
        Print("long_caption", dialog, begun, result, shown, where);
    }
    {
        ProbeDialog dialog;
        bool begun = false;
        Build(dialog, begun, L"Probe", std::wstring(40000, L't'));
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 0), shown, where);
        Print("long_text", dialog, begun, result, shown, where);
    }
    {
        // The longest text that fits a block: shown normally.
        ProbeDialog dialog;
        bool begun = false;
        Build(dialog, begun, L"Probe", std::wstring(32767, L't'));
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 0), shown, where);
        Print("longest_text", dialog, begun, result, shown, where);
    }
    {
        ProbeDialog dialog;  // never begun: no header, nothing to show
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 0), shown, where);
        Print("no_header", dialog, false, result, shown, where);
    }
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    std::printf("{\"case\":\"desktop\",\"rect\":[%ld,%ld,%ld,%ld]}\n",
                static_cast<long>(desktop.left), static_cast<long>(desktop.top),
                static_cast<long>(desktop.right), static_cast<long>(desktop.bottom));
    return 0;
}
