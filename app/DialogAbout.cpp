// The About box. Built on DialogTemplate so it needs no dialog resource; the icon static and the
// hyperlink are made at WM_INITDIALOG, because the template format cannot carry the link's font
// and the icon is the same resource as the main window's class icon.
#include "DialogAbout.h"

#include "MessageFont.h"
#include "resource.h"

namespace {

// Dialog units, inclusive right and bottom.
constexpr RECT kDialogRect = {0, 0, 200, 40};
constexpr RECT kTextRect = {40, 10, 139, 19};
constexpr RECT kOkRect = {145, 8, 194, 19};
constexpr RECT kIconRect = {11, 11, 29, 29};
constexpr RECT kLinkRect = {40, 20, 140, 30};

constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kOkStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kNoControlId = 0xFFFFFFFF;
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

// The template's items and the icon control, as the dialog manager receives them.
static_assert(kTextStyle == 0x50000000, "static text: child, visible, left-aligned");
static_assert(kOkStyle == 0x50030001, "OK: child, visible, group, tab stop, default button");
static_assert((WS_CHILD | SS_ICON) == 0x40000003, "icon: child showing an icon resource");

}  // namespace

DialogAbout::DialogAbout(Window* parentWindow, const wchar_t* text)
    : DialogTemplate(parentWindow) {
    icon.iconId = IDI_MAINICON;
    // Without a header there is no item count to add to: the box stays empty and RunModal
    // shows nothing.
    if (!Begin(kDialogRect, L"About")) {
        return;
    }
    AddItem(kTextRect, kTextStyle, kNoControlId, kStaticAtom, text);
    AddItem(kOkRect, kOkStyle, IDOK, kButtonAtom, L"OK");
}

void DialogAbout::Place(HWND dialog, HWND control, RECT rectangle) {
    MapDialogRect(dialog, &rectangle);
    SetWindowPos(control, nullptr, rectangle.left, rectangle.top,
                 rectangle.right - rectangle.left + 1, rectangle.bottom - rectangle.top + 1,
                 SWP_NOZORDER);
}

DWORD DialogAbout::OnInitDialog(HWND dialog) {
    // A missing icon is no reason to refuse the box: the result is not consulted.
    icon.Create(this, SS_ICON);
    Place(dialog, icon.hwnd, kIconRect);

    DWORD error = link.Create(this, kSyslinkClassName, linkAddress, WS_CHILD,
                              WindowFlags::NoRegister | WindowFlags::OwnerPaint, 0, 0);
    if (error != 0) {
        return error;
    }
    LOGFONTW linkFont = {};
    if (QueryMessageFont(linkFont)) {
        linkFont.lfUnderline = TRUE;
        link.font.Reset(CreateFontIndirectW(&linkFont));
    }
    ShowWindow(link.hwnd, SW_SHOW);
    Place(dialog, link.hwnd, kLinkRect);
    return 0;
}
