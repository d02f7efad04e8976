// What a copy of a list's selected rows reads: the rows the list has selected, and the table of
// those rows' texts. The program fills them from its list views; tests from plain data.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The selected rows of a list, in ascending order.
class RowSelection {
public:
    virtual ~RowSelection() = default;
    virtual int Count() = 0;
    // The first selected row after the given one (-1: from the start); -1 after the last.
    virtual int Next(int after) = 0;
};

// The selected rows' texts, read row by row in order, each exactly as the list shows it.
class CopyTable {
public:
    virtual ~CopyTable() = default;
    // One heading per column.
    virtual std::vector<std::wstring> Headings() = 0;
    // How many rows are selected.
    virtual int RowCount() = 0;
    // Moves to the next selected row (the first one on the first call); false after the last.
    virtual bool NextRow() = 0;
    // The text of a column of the current row; valid until the next call.
    virtual const wchar_t* Cell(int column) = 0;
    // No row's line (its cells, the tabs between them and the line end) is longer than this.
    virtual size_t LineLengthBound() = 0;
};
