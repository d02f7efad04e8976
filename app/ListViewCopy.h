// A list view's selection and texts as a copy reads them.
#pragma once

#include <string>
#include <vector>

#include "CommonControls.h"
#include "GridCopyTable.h"

// The rows a list view has selected.
class ListViewSelection final : public RowSelection {
public:
    explicit ListViewSelection(CommonControls::ListView& listView);

    int Count() override;
    int Next(int after) override;

private:
    CommonControls::ListView& list;  // borrowed
    int count;
    bool everyRow;  // every row is selected, so the list need not be asked for each
};

// The texts a list view that stores its rows shows: its headings and cells as it holds them.
class ListViewGrid final : public TextGrid {
public:
    explicit ListViewGrid(CommonControls::ListView& listView) : list(listView) {}

    std::vector<std::wstring> Headings() override;
    int RowCount() override;
    const wchar_t* Cell(int row, int column) override;

private:
    CommonControls::ListView& list;  // borrowed
    std::wstring cell;
};
