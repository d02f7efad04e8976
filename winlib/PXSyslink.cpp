// The hyperlink control and the registration of its class. The control holds no state beyond
// the hover flag and its font; its text is its window text, read afresh whenever it is needed,
// so a text changed after creation is what is drawn and opened.
#include "PXSyslink.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "ErrorBox.h"

namespace {

constexpr COLORREF kLinkColour = 0x00CC0000;  // red 0, green 0, blue 204
constexpr UINT kRepaintWhole = RDW_INVALIDATE | RDW_ERASE;

// The control's window text, read into a buffer of its length and a terminator. The length
// the system reports may exceed what it then copies; the text ends where the copy ended, so no
// trailing zeros are drawn or handed to the shell.
std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

RECT ClientRect(HWND window) {
    RECT client;
    SetRectEmpty(&client);
    GetClientRect(window, &client);
    return client;
}

// Restores the device context's font and background mode however painting ends.
class PaintState {
public:
    PaintState(HDC paintDc, HFONT font) : dc(paintDc) {
        if (font != nullptr) {
            previousFont = static_cast<HFONT>(SelectObject(dc, font));
        }
    }
    ~PaintState() {
        SetBkMode(dc, OPAQUE);
        if (previousFont != nullptr) {
            SelectObject(dc, previousFont);
        }
    }
    PaintState(const PaintState&) = delete;
    PaintState& operator=(const PaintState&) = delete;

private:
    HDC dc;
    HFONT previousFont = nullptr;
};

}  // namespace

void PXSyslink::OnPaint(HDC dc) {
    PaintState state(dc, font.Get());  // a null font leaves the context's own
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);  // the class brush has already filled the background
    const std::wstring text = WindowText(hwnd);
    RECT client = ClientRect(hwnd);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_SINGLELINE);
    if (hover != 0) {
        DrawFocusRect(dc, &client);
    }
}

LRESULT PXSyslink::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        if (GetCapture() == window) {
            // With the capture we also see moves outside; the right and bottom edges count as
            // inside.
            const RECT client = ClientRect(window);
            if (x < 0 || x > client.right || y < 0 || y > client.bottom) {
                hover = 0;
                ReleaseCapture();
                RedrawWindow(window, nullptr, nullptr, kRepaintWhole);
            }
        } else {
            hover = 1;
            SetCapture(window);
            RedrawWindow(window, nullptr, nullptr, kRepaintWhole);
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const std::wstring text = WindowText(window);
        ShellExecuteW(nullptr, L"open", text.c_str(), nullptr, nullptr, SW_SHOW);
        break;
    }
    default:
        break;
    }
    return Window::HandleMessage(window, message, wParam, lParam);
}

PXSyslinkReg::PXSyslinkReg() {
    DWORD error = RegisterWindowClass(kSyslinkClassName, [](WNDCLASSEXW& windowClass) {
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    });
    if (error != 0) {
        ShowError(error);
    }
}

// Runs before wWinMain, so the module instance is still null here; the system then registers
// the class for the executable itself.
static PXSyslinkReg syslinkRegistration;
