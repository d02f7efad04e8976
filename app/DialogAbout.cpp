// The About box. Built on DialogTemplate so it needs no dialog resource; the icon static and the
// hyperlink are made at WM_INITDIALOG, because the template format cannot carry the link's font
// and the icon is the same resource as the main window's class icon.
#include "DialogAbout.h"

#include "AboutLayout.h"
#include "MessageFont.h"
#include "resource.h"

namespace {

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

// The layout's items in the system's terms.
static_assert(kAboutTextItem.style == (WS_CHILD | WS_VISIBLE | SS_LEFT) &&
                  kAboutTextItem.classAtom == kStaticAtom,
              "name and version: a static text, child, visible, left-aligned");
static_assert(kAboutOkItem.style ==
                      (WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON) &&
                  kAboutOkItem.id == IDOK && kAboutOkItem.classAtom == kButtonAtom,
              "OK: the default push button");
static_assert((WS_CHILD | SS_ICON) == 0x40000003, "icon: child showing an icon resource");

constexpr RECT AsRect(const TemplateRect& rectangle) {
    return {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
}

void AddTemplateItem(DialogTemplate& dialog, const TemplateItem& item, const wchar_t* text) {
    dialog.AddItem(AsRect(item.rectangle), item.style, item.id, item.classAtom, text);
}

}  // namespace

DialogAbout::DialogAbout(Window* parentWindow, const wchar_t* text) : DialogTemplate(parentWindow) {
    icon.iconId = IDI_MAINICON;
    // Without a header there is no item count to add to: the box stays empty and RunModal
    // shows nothing.
    if (!Begin(AsRect(kAboutDialogRect), kAboutCaption)) {
        return;
    }
    AddTemplateItem(*this, kAboutTextItem, text);
    AddTemplateItem(*this, kAboutOkItem, kAboutOkText);
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
    Place(dialog, icon.hwnd, AsRect(kAboutIconRect));

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
    Place(dialog, link.hwnd, AsRect(kAboutLinkRect));
    return 0;
}
