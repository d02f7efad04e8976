// Wrappers of system controls. A system class never runs the library's window procedure, so
// the object is tied to the control after creation, by subclassing and by its user-data slot.
#include "CommonControls.h"

#include <climits>

#include "BoundedFormat.h"

namespace CommonControls {

namespace {
constexpr const wchar_t* kListViewClass = L"SysListView32";
constexpr const wchar_t* kStaticClass = L"Static";
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
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
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
