// Wrappers of system controls. A system class never runs the library's window procedure, so
// the object is tied to the control after creation, by subclassing and by its user-data slot.
#include "CommonControls.h"

#include <climits>

#include "BoundedFormat.h"

namespace CommonControls {

namespace {
constexpr const wchar_t* kListViewClass = L"SysListView32";
constexpr const wchar_t* kStaticClass = L"Static";
constexpr const wchar_t* kComboBoxClass = L"ComboBox";
constexpr UINT_PTR kSubclassId = 0;
// Texts are read into a buffer that doubles until the text ends before the buffer's last
// character, since the list reports no length. This size holds every short text at once.
constexpr int kFirstTextCapacity = 256;

// Reads a text the list copies into a caller's buffer of a given capacity (terminator
// included); read(buffer, capacity) asks for it.
template <typename Read>
std::wstring ReadGrowing(Read read) {
    std::wstring text;
    for (int capacity = kFirstTextCapacity;; capacity *= 2) {
        text.assign(static_cast<size_t>(capacity), L'\0');
        read(&text[0], capacity);
        const size_t length = text.find(L'\0');
        if (length < static_cast<size_t>(capacity) - 1 || capacity > INT_MAX / 2) {
            text.resize(length);
            return text;
        }
    }
}
}  // namespace

LRESULT CommonControl::OnCtlColor(HDC) {
    return 0;
}

DWORD CommonControl::CreateControl(Window* parentWindow,
                                   const wchar_t* className,
                                   const wchar_t* text,
                                   DWORD style,
                                   uint16_t windowFlags) {
    DWORD error =
        Window::Create(parentWindow, className, text, style | WS_CHILD, windowFlags, 0, 0);
    if (error != 0) {
        return error;
    }
    if (!SetWindowSubclass(hwnd, SubclassProcedure, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        error = GetLastError();
        if (error != 0) {
            return error;
        }
    } else {
        BindWindowObject(hwnd, this);
    }
    ShowWindow(hwnd, SW_SHOW);
    return 0;
}

DWORD ListView::Create(Window* parentWindow, DWORD style) {
    // Version 6 of the common controls registers its classes on demand only.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return CreateControl(parentWindow, kListViewClass, nullptr, style,
                         WindowFlags::NoRegister | WindowFlags::Reflect);
}

void ListView::SetExtendedStyle(DWORD style) {
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
}

void ListView::SetRedraw(bool on) {
    SendMessageW(hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void ListView::InsertColumn(int index, const wchar_t* heading, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading);
    column.iSubItem = index;
    SendMessageW(hwnd, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

bool ListView::HasColumn(int index) {
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    return SendMessageW(hwnd, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) != 0;
}

void ListView::DeleteColumn(int index) {
    SendMessageW(hwnd, LVM_DELETECOLUMN, index, 0);
}

int ListView::ColumnCount() {
    return static_cast<int>(SendMessageW(Header(), HDM_GETITEMCOUNT, 0, 0));
}

HWND ListView::Header() {
    return reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
}

int ListView::ColumnAt(POINT screen) {
    HWND header = Header();
    RECT headerRect = {};
    if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &headerRect) &&
        PtInRect(&headerRect, screen)) {
        HDHITTESTINFO hit = {};
        hit.pt = screen;
        ScreenToClient(header, &hit.pt);
        const int index =
            static_cast<int>(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return (hit.flags & HHT_ONHEADER) != 0 ? index : -1;
    }
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(hwnd, &hit.pt);
    SendMessageW(hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return hit.iItem >= 0 ? hit.iSubItem : -1;
}

void ListView::DeleteAllColumns() {
    while (HasColumn(0)) {
        DeleteColumn(0);
    }
}

std::wstring ListView::ColumnHeading(int index) {
    return ReadGrowing([&](wchar_t* buffer, int capacity) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = buffer;
        column.cchTextMax = capacity;
        SendMessageW(hwnd, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    });
}

int ListView::ItemCount() {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
}

void ListView::InsertItem(int index, const wchar_t* text, LPARAM data) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = data;
    SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListView::SetItemText(int index, int column, const wchar_t* text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(hwnd, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListView::ItemText(int index, int column) {
    return ReadGrowing([&](wchar_t* buffer, int capacity) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = capacity;
        SendMessageW(hwnd, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    });
}

bool ListView::ItemData(int index, LPARAM& data) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return false;
    }
    data = item.lParam;
    return true;
}

void ListView::DeleteAllItems() {
    SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
}

void ListView::SetVirtualItemCount(int count) {
    SendMessageW(hwnd, LVM_SETITEMCOUNT, count, 0);
}

void ListView::SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

int ListView::SelectedCount() {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListView::NextSelected(int after) {
    return static_cast<int>(
        SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

DWORD ComboBox::Create(Window* parentWindow, DWORD style) {
    return CreateControl(parentWindow, kComboBoxClass, nullptr,
                         style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                         WindowFlags::NoRegister | WindowFlags::Reflect);
}

void ComboBox::Clear() {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
}

int ComboBox::AddItem(const wchar_t* text, LPARAM data) {
    const int index =
        static_cast<int>(SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    if (index >= 0) {
        SendMessageW(hwnd, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
    return index;
}

int ComboBox::ItemCount() {
    return static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0));
}

int ComboBox::Selected() {
    return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
}

void ComboBox::Select(int index) {
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

LPARAM ComboBox::ItemData(int index) {
    return static_cast<LPARAM>(SendMessageW(hwnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

bool ComboBox::SelectData(LPARAM data) {
    for (int index = 0, count = ItemCount(); index < count; ++index) {
        if (ItemData(index) == data) {
            Select(index);
            return true;
        }
    }
    return false;
}

LRESULT ComboBox::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && parent != nullptr) {
        const bool listOpen = SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
        const bool control = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
        if ((wParam == VK_ESCAPE && !listOpen) || (wParam == 'C' && control)) {
            SendMessageW(parent->hwnd, message, wParam, lParam);
            return 1;
        }
    }
    return CommonControl::HandleMessage(window, message, wParam, lParam);
}

DWORD Static::CreateText(Window* parentWindow, const wchar_t* text, DWORD style) {
    return CreateControl(parentWindow, kStaticClass, text, style, Flags(WindowFlags::NoRegister));
}

DWORD Static::Create(Window* parentWindow, DWORD style) {
    wchar_t iconReference[kIconRefCapacity] = {};
    FormatWide8(iconReference, L"#%d", iconId);
    return CreateControl(parentWindow, kStaticClass, iconReference, style,
                         Flags(WindowFlags::NoRegister));
}

LRESULT CALLBACK SubclassProcedure(HWND hwnd,
                                   UINT message,
                                   WPARAM wParam,
                                   LPARAM lParam,
                                   UINT_PTR,
                                   DWORD_PTR object) {
    if (message == WM_NCDESTROY) {
        UnbindWindowObject(hwnd);
    }
    auto* control = reinterpret_cast<CommonControl*>(object);
    LRESULT result = control->HandleMessage(hwnd, message, wParam, lParam);
    if (result != 0) {
        return result;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace CommonControls
