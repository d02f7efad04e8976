// The segment list as the reader sees it, over the main window's left list view.
#pragma once

#include "CommonControls.h"
#include "ReaderOutput.h"

class ListViewSegmentList final : public SegmentList {
public:
    explicit ListViewSegmentList(CommonControls::ListView& listView) : list(listView) {}

    int RowCount() override;
    void InsertRow(int index, SegmentKind kind, const wchar_t* label) override;
    void SetRowDetails(int index, const wchar_t* details) override;

private:
    CommonControls::ListView& list;  // borrowed
};
