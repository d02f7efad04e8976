// Selections and texts read from a list view. A selection of every row (Ctrl+A) is walked
// without a message per row, so a copy of millions of rows asks the list only for its counts.
#include "ListViewCopy.h"

ListViewSelection::ListViewSelection(CommonControls::ListView& listView)
    : list(listView),
      count(listView.SelectedCount()),
      everyRow(count > 0 && count == listView.ItemCount()) {}

int ListViewSelection::Count() {
    return count;
}

int ListViewSelection::Next(int after) {
    if (everyRow) {
        return after + 1 < count ? after + 1 : -1;
    }
    return list.NextSelected(after);
}

std::vector<std::wstring> ListViewGrid::Headings() {
    std::vector<std::wstring> headings;
    for (int column = 0, columns = list.ColumnCount(); column < columns; ++column) {
        headings.push_back(list.ColumnHeading(column));
    }
    return headings;
}

int ListViewGrid::RowCount() {
    return list.ItemCount();
}

const wchar_t* ListViewGrid::Cell(int row, int column) {
    cell = list.ItemText(row, column);
    return cell.c_str();
}
