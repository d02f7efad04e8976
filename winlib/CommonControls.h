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
    bool HasColumn(int index);              // LVM_GETCOLUMNW: the list reports a column there
    void DeleteColumn(int index);           // LVM_DELETECOLUMN
    int ColumnCount();                      // the header control's count of columns
    void DeleteAllColumns();                // column 0, for as long as the list reports one
    std::wstring ColumnHeading(int index);  // LVM_GETCOLUMNW: empty when there is no column

    // Rows of a list that stores them: the row's first column and its item data.
    int ItemCount();
    void InsertItem(int index, const wchar_t* text, LPARAM data);
    void SetItemText(int index, int column, const wchar_t* text);
    std::wstring ItemText(int index, int column);  // LVM_GETITEMTEXTW, as the row shows it
    bool ItemData(int index, LPARAM& data);        // false when the list has no such row
    void DeleteAllItems();

    // The row count of an owner-data list, which stores no rows of its own.
    void SetVirtualItemCount(int count);

    // The header control, which shows the column headings.
    HWND Header();
    // The column under a point of the screen: a heading's, or a cell's of an existing row; -1
    // anywhere else.
    int ColumnAt(POINT screen);

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

// A drop-down list of choices (CBS_DROPDOWNLIST): the user picks one item, each with a number of
// the owner's. A change of choice reaches the parent's OnControlCommand with CBN_SELCHANGE.
class ComboBox final : public CommonControl {
public:
    // style: more combo-box styles; WS_CHILD, WS_TABSTOP, WS_VSCROLL and CBS_DROPDOWNLIST are
    // added.
    DWORD Create(Window* parentWindow, DWORD style = 0);

    void Clear();                                   // CB_RESETCONTENT
    int AddItem(const wchar_t* text, LPARAM data);  // appended; its index
    int ItemCount();                                // CB_GETCOUNT
    int Selected();                                 // CB_GETCURSEL: -1 when none is chosen
    void Select(int index);                         // CB_SETCURSEL: no CBN_SELCHANGE follows
    LPARAM ItemData(int index);                     // CB_GETITEMDATA
    // Selects the item whose data is data; false (selection unchanged) when none has it.
    bool SelectData(LPARAM data);

    // Keys the list has no use for go to the parent window, so that its shortcuts (Esc while
    // the list is closed, Ctrl+C) work wherever the focus is.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

class Static final : public CommonControl {
public:
    int32_t iconId = 0;  // the icon resource shown; the window text is "#" and this number

    // style: the static styles (SS_ICON for an icon); WS_CHILD is added.
    DWORD Create(Window* parentWindow, DWORD style);
    // A static control showing a text (its window text, which assistive tools and tests read).
    DWORD CreateText(Window* parentWindow, const wchar_t* text, DWORD style = 0);
};

// Installed on every wrapped control: the object's HandleMessage first, then the control's own.
LRESULT CALLBACK SubclassProcedure(HWND hwnd,
                                   UINT message,
                                   WPARAM wParam,
                                   LPARAM lParam,
                                   UINT_PTR id,
                                   DWORD_PTR object);

}  // namespace CommonControls
