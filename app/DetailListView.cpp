// The right list's columns and row count for a segment. Parameter columns are appended at the
// header control's own count of columns, so each lands after whatever the list already shows.
#include "DetailListView.h"

#include <commctrl.h>

#include <vector>

#include "DetailView.h"

void InsertReportColumn(HWND list, int index, const wchar_t* heading, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading);
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void RemoveAllColumns(HWND list) {
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    while (SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column))) {
        SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    }
}

void RebuildDetailList(HWND list, int kind, const DataSet& dataSet) {
    RemoveAllColumns(list);
    const std::vector<DetailColumn> columns = DetailColumns(kind, dataSet);
    if (kind == kSegmentData) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        for (const DetailColumn& column : columns) {
            int index = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            InsertReportColumn(list, index, column.heading.c_str(), column.width);
        }
    } else {
        int index = 0;
        for (const DetailColumn& column : columns) {
            InsertReportColumn(list, index++, column.heading.c_str(), column.width);
        }
    }
    SendMessageW(list, LVM_SETITEMCOUNT, DetailRowCount(kind, dataSet), 0);
}
