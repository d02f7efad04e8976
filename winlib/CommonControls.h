// The system's list-view and static controls as window objects: created through Window::Create,
// subclassed so their messages reach the object, and bound through their user-data slot so a
// parent's routing finds them for reflected notifications.
#pragma once

#include <string>
#include <type_traits>

#include "Window.h"

namespace CommonControls {

class CommonControl : public Window {
public:
    // The brush for a control in a dialog (WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC); 0 lets the
    // dialog choose.
    virtual LRESULT OnCtlColor(HDC dc);

protected:
    CommonControl() = default;
    ~CommonControl() = default;
    // Creates the control, subclasses it, binds it and shows it.
    DWORD CreateControl(Window* parentWindow,
                        const wchar_t* className,
                        const wchar_t* text,
                        DWORD style,
                        uint16_t windowFlags);
};

// A list view in report style. One operation per message the program sends it, so that no other
// code builds a list-view message; the results the program does not need are not returned.
class ListView final : public CommonControl {
public:
    // style: the list-view styles; WS_CHILD is added.
    DWORD Create(Window* parentWindow, DWORD style);

    // LVM_SETEXTENDEDLISTVIEWSTYLE with mask 0: the given extended styles replace all others.
    void SetExtendedStyle(DWORD style);

    // WM_SETREDRAW: while off, changes are not drawn; turned on, the whole list is drawn anew.
    void SetRedraw(bool on);

    // Columns. A column is left-aligned, and its subitem is its index.
    void InsertColumn(int index, const wchar_t* heading, int width);
    bool HasColumn(int index);     // LVM_GETCOLUMNW: the list reports a column there
    void DeleteColumn(int index);  // LVM_DELETECOLUMN
    int ColumnCount();             // the header control's count of columns
    void DeleteAllColumns();       // column 0, for as long as the list reports one
    std::wstring ColumnHeading(int index);  // LVM_GETCOLUMNW: empty when there is no column

    // Rows of a list that stores them: the row's first column and its item data.
    int ItemCount();
    void InsertItem(int index, const wchar_t* text, LPARAM data);
    void SetItemText(int index, int column, const wchar_t* text);
    std::wstring ItemText(int index, int column);  // LVM_GETITEMTEXTW, as the row shows it
    bool ItemData(int index, LPARAM& data);  // false when the list has no such row
    void DeleteAllItems();

    // The row count of an owner-data list, which stores no rows of its own.
    void SetVirtualItemCount(int count);

    // Selection and focus: the state bits in mask become those of state; index -1 is every row.
    void SetItemState(int index, UINT state, UINT mask);
    int SelectedCount();          // LVM_GETSELECTEDCOUNT
    int NextSelected(int after);  // LVM_GETNEXTITEM: after -1 from the start; -1 after the last
};

// The notification record behind a WM_NOTIFY header, for a code whose record the caller knows.
template <typename Record>
Record& NotificationRecord(NMHDR* header) {
    static_assert(std::is_standard_layout_v<Record>, "notification records begin with NMHDR");
    return *reinterpret_cast<Record*>(header);
}

class Static final : public CommonControl {
public:
    int32_t iconId = 0;  // the icon resource shown; the window text is "#" and this number

    // style: the static styles (SS_ICON for an icon); WS_CHILD is added.
    DWORD Create(Window* parentWindow, DWORD style);
};

// Installed on every wrapped control: the object's HandleMessage first, then the control's own.
LRESULT CALLBACK SubclassProcedure(HWND hwnd,
                                   UINT message,
                                   WPARAM wParam,
                                   LPARAM lParam,
                                   UINT_PTR id,
                                   DWORD_PTR object);

}  // namespace CommonControls
