// A copy of the selected rows of a small table whose cells can all be read at any time: the
// segment list, the header and keyword views.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CopyTable.h"

// Texts by row and column, as a list shows them.
class TextGrid {
public:
    virtual ~TextGrid() = default;
    virtual std::vector<std::wstring> Headings() = 0;
    virtual int RowCount() = 0;
    // The text of a cell; valid until the next call.
    virtual const wchar_t* Cell(int row, int column) = 0;
};

class GridCopyTable final : public CopyTable {
public:
    // The selection is borrowed and must outlive the table.
    GridCopyTable(std::unique_ptr<TextGrid> cells, RowSelection& rows);

    std::vector<std::wstring> Headings() override;
    int RowCount() override;
    bool NextRow() override;
    const wchar_t* Cell(int column) override;
    // Measured over every row of the grid, which is small.
    size_t LineLengthBound() override;

private:
    std::unique_ptr<TextGrid> grid;
    RowSelection& selection;
    int row = -1;
};
