// Rows of the segment list written into a report-style list view: the kind travels as the
// row's item data, the details go into the second column. Results are not needed by the reader.
#include "ListViewSegmentList.h"

#include <commctrl.h>

namespace {
constexpr int kDetailsColumn = 1;
}

int ListViewSegmentList::RowCount() {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

void ListViewSegmentList::InsertRow(int index, SegmentKind kind, const wchar_t* label) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(label);
    item.lParam = kind;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewSegmentList::SetRowDetails(int index, const wchar_t* details) {
    LVITEMW item = {};
    item.iSubItem = kDetailsColumn;
    item.pszText = const_cast<wchar_t*>(details);
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}
