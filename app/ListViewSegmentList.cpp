// Rows of the segment list written into a report-style list view: the kind travels as the
// row's item data, the details go into the second column. Results are not needed by the reader.
#include "ListViewSegmentList.h"

namespace {
constexpr int kDetailsColumn = 1;
}

int ListViewSegmentList::RowCount() {
    return list.ItemCount();
}

void ListViewSegmentList::InsertRow(int index, SegmentKind kind, const wchar_t* label) {
    list.InsertItem(index, label, kind);
}

void ListViewSegmentList::SetRowDetails(int index, const wchar_t* details) {
    list.SetItemText(index, kDetailsColumn, details);
}
