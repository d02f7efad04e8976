// The right list's columns and row count for a segment. Every column is appended at the header
// control's own count of columns, so each lands after whatever the list already shows.
#include "DetailListView.h"

#include "DetailView.h"

void RebuildDetailList(CommonControls::ListView& list, int kind, const DataSet& dataSet) {
    const DetailView& view = DetailViewOf(kind);
    list.DeleteAllColumns();
    for (const DetailColumn& column : view.Columns(dataSet)) {
        list.InsertColumn(list.ColumnCount(), column.heading.c_str(), column.width);
    }
    list.SetVirtualItemCount(view.RowCount(dataSet));
}
