// The segment list as the reader sees it, over the main window's left list view.
#pragma once

#include <windows.h>

#include "ReaderOutput.h"

class ListViewSegmentList final : public SegmentList {
public:
    explicit ListViewSegmentList(HWND listView) : list(listView) {}

    int RowCount() override;
    void InsertRow(int index, SegmentKind kind, const wchar_t* label) override;
    void SetRowDetails(int index, const wchar_t* details) override;

private:
    HWND list;  // borrowed
};
