// A copy of selected events: read from the file through the reader in blocks of consecutive
// events into a buffer of its own, never through the cache the list draws from, and formatted
// as the list formats them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CopyTable.h"
#include "DataSet.h"

// The most bytes of events one block holds; a wider event is a block of its own.
constexpr int64_t kCopyBlockBytes = 1024 * 1024;

class EventCopyTable final : public CopyTable {
public:
    // rows: how many events the list shows (the first ones of the data set). The data set and
    // the selection are borrowed and must outlive the table.
    EventCopyTable(DataSet& events, int64_t rows, RowSelection& selectedRows);

    std::vector<std::wstring> Headings() override;
    int RowCount() override;
    bool NextRow() override;
    const wchar_t* Cell(int column) override;
    size_t LineLengthBound() override;

private:
    // Reads the block of events that begins at row.
    void ReadBlockAt(int64_t first);

    DataSet& dataSet;
    int64_t rowCount;
    RowSelection& selection;
    int row = -1;
    std::vector<uint8_t> block;
    int64_t blockFirst = -1;
    int64_t blockCount = 0;
    uint32_t delivered = 0;
    bool blockRead = false;  // the block holds what the file delivered for its events
    wchar_t text[kDisplayTextLength] = {};
};
