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

#include "CommonControls.h"
#include "DialogTemplate.h"
#include "PXSyslink.h"

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
    HWND errorBox = nullptr;
    std::wstring errorText;  // the text of an error box met (and closed) on the way
};
Ending ending;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        wchar_t caption[16] = {};
        GetWindowTextW(hwnd, caption, 16);
        if (lstrcmpW(caption, L"Error") == 0) {
            ending.errorBox = hwnd;
        } else {
            ending.dialog = hwnd;
        }
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    ending.dialog = nullptr;
    ending.errorBox = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (ending.errorBox != nullptr) {
        // A message box's text is its static control 0xFFFF.
        wchar_t text[512] = {};
        GetDlgItemTextW(ending.errorBox, 0xFFFF, text, 512);
        ending.errorText = text;
        PostMessageW(ending.errorBox, WM_COMMAND, IDOK, 0);
    } else if (ending.dialog != nullptr) {
        ending.seen = true;
        GetWindowRect(ending.dialog, &ending.seenRect);
        PostMessageW(ending.dialog, WM_COMMAND, ending.command, 0);
        KillTimer(nullptr, timer);
    } else if (++ending.ticks > kGiveUpTicks) {
        KillTimer(nullptr, timer);
    }
}

// A wrapped control that answers colour requests with a brush of its own.
class ColouredControl final : public CommonControls::CommonControl {
public:
    DWORD Create(Window* parentWindow) {
        return CreateControl(parentWindow, L"Static", L"coloured", SS_LEFT,
                             Flags(WindowFlags::NoRegister));
    }
    LRESULT OnCtlColor(HDC) override {
        return reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
    }
};

class ProbeDialog : public DialogTemplate {
public:
    ProbeDialog() : DialogTemplate(nullptr) {}
    DWORD OnInitDialog(HWND dialog) override {
        initialised++;
        if (checkColours) {
            // Colour requests reach a wrapped control's OnCtlColor; a link (a library object
            // that is no common control) and a plain template control get the default.
            coloured.Create(this);
            link.Create(this, kSyslinkClassName, L"http://x/", WS_CHILD,
                        WindowFlags::NoRegister | WindowFlags::OwnerPaint, 0, 0);
            HDC dc = GetDC(dialog);
            const WPARAM dcArg = reinterpret_cast<WPARAM>(dc);
            colourOfControl = SendMessageW(dialog, WM_CTLCOLORSTATIC, dcArg,
                                           reinterpret_cast<LPARAM>(coloured.hwnd));
            colourOfLink = SendMessageW(dialog, WM_CTLCOLORSTATIC, dcArg,
                                        reinterpret_cast<LPARAM>(link.hwnd));
            colourOfItem = SendMessageW(dialog, WM_CTLCOLORSTATIC, dcArg,
                                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, kTextId)));
            ReleaseDC(dialog, dc);
        }
        return initError;
    }
    void OnOK() override { oks++; }
    void OnCancel() override { cancels++; }
    static constexpr int kTextId = 100;
    int initialised = 0;
    int oks = 0;
    int cancels = 0;
    DWORD initError = 0;
    bool checkColours = false;
    ColouredControl coloured;
    PXSyslink link;
    LRESULT colourOfControl = 0;
    LRESULT colourOfLink = 0;
    LRESULT colourOfItem = 0;
};

std::wstring errorText;

INT_PTR Run(ProbeDialog& dialog, WPARAM command, bool& shown, RECT& where) {
    ending = Ending();
    ending.command = command;
    UINT_PTR timer = SetTimer(nullptr, 0, kTimerMs, OnTick);
    INT_PTR result = dialog.RunModal();
    KillTimer(nullptr, timer);
    shown = ending.seen;
    where = ending.seenRect;
    errorText = ending.errorText;
    return result;
}

void Print(const char* name, const ProbeDialog& dialog, bool begun, INT_PTR result, bool shown,
           const RECT& where) {
    std::printf("{\"case\":\"%s\",\"begun\":%s,\"usable\":%s,\"result\":%ld,\"shown\":%s,"
                "\"initialised\":%d,\"oks\":%d,\"cancels\":%d,"
                "\"rect\":[%ld,%ld,%ld,%ld],\"size\":%lu,\"errorBox\":%s,"
                "\"errorCode\":%s}\n",
                name, begun ? "true" : "false", dialog.Usable() ? "true" : "false",
                static_cast<long>(result), shown ? "true" : "false", dialog.initialised,
                dialog.oks, dialog.cancels, static_cast<long>(where.left),
                static_cast<long>(where.top), static_cast<long>(where.right),
                static_cast<long>(where.bottom), static_cast<unsigned long>(dialog.Size()),
                errorText.empty() ? "false" : "true",
                errorText.find(L"(5)") != std::wstring::npos ? "5" : "null");
    std::fflush(stdout);
}

void Build(ProbeDialog& dialog, bool& begun, const std::wstring& caption,
           const std::wstring& text) {
    begun = dialog.Begin(RECT{0, 0, 200, 40}, caption.c_str());
    dialog.AddItem(RECT{40, 10, 139, 19}, kStaticStyle, ProbeDialog::kTextId, kStaticAtom,
                   text.c_str());
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
    {
        // A failing initialisation shows the error box and leaves the dialog open.
        ProbeDialog dialog;
        dialog.initError = ERROR_ACCESS_DENIED;
        bool begun = false;
        Build(dialog, begun, L"Probe", L"text");
        INT_PTR result = Run(dialog, MAKEWPARAM(IDOK, 0), shown, where);
        Print("init_fails", dialog, begun, result, shown, where);
    }
    {
        ProbeDialog dialog;
        dialog.checkColours = true;
        bool begun = false;
        Build(dialog, begun, L"Probe", L"text");
        INT_PTR result = Run(dialog, MAKEWPARAM(IDCANCEL, 0), shown, where);
        Print("colours", dialog, begun, result, shown, where);
        const LRESULT gray = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
        std::printf("{\"case\":\"colour_routing\",\"control\":%s,\"link\":%ld,\"item\":%ld}\n",
                    dialog.colourOfControl == gray ? "\"own brush\"" : "\"other\"",
                    static_cast<long>(dialog.colourOfLink), static_cast<long>(dialog.colourOfItem));
    }
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    std::printf("{\"case\":\"desktop\",\"rect\":[%ld,%ld,%ld,%ld]}\n",
                static_cast<long>(desktop.left), static_cast<long>(desktop.top),
                static_cast<long>(desktop.right), static_cast<long>(desktop.bottom));
    return 0;
}
