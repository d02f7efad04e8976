// Selected rows of a small grid, read cell by cell from the grid itself, so the copy holds the
// very texts the list is given.
#include "GridCopyTable.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "CopyText.h"

GridCopyTable::GridCopyTable(std::unique_ptr<TextGrid> cells, RowSelection& rows)
    : grid(std::move(cells)), selection(rows) {}

std::vector<std::wstring> GridCopyTable::Headings() {
    return grid->Headings();
}

int GridCopyTable::RowCount() {
    return selection.Count();
}

bool GridCopyTable::NextRow() {
    row = selection.Next(row);
    return row >= 0 && row < grid->RowCount();
}

const wchar_t* GridCopyTable::Cell(int column) {
    return grid->Cell(row, column);
}

size_t GridCopyTable::LineLengthBound() {
    const int columns = static_cast<int>(grid->Headings().size());
    size_t longest = LineLength(0, static_cast<size_t>(columns));
    for (int each = 0, rows = grid->RowCount(); each < rows; ++each) {
        size_t cells = 0;
        for (int column = 0; column < columns; ++column) {
            cells += std::wcslen(grid->Cell(each, column));
        }
        longest = std::max(longest, LineLength(cells, static_cast<size_t>(columns)));
    }
    return longest;
}
