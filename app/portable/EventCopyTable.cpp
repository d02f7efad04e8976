// Events for a copy, a block at a time. A selection of many rows is mostly runs of consecutive
// events (Shift+click, Ctrl+A), so each block is read at the first selected row it holds and
// serves the selected rows after it. Events wider than the reader reads one at a time show no
// value here either, as in every cell the list's cache does not hold.
#include "EventCopyTable.h"

#include <algorithm>

#include "CopyText.h"
#include "EventDecoder.h"

EventCopyTable::EventCopyTable(DataSet& events, int64_t rows, RowSelection& selectedRows)
    : dataSet(events), rowCount(rows), selection(selectedRows) {}

std::vector<std::wstring> EventCopyTable::Headings() {
    std::vector<std::wstring> headings;
    headings.reserve(dataSet.parameters.size());
    for (const Parameter& parameter : dataSet.parameters) {
        headings.push_back(parameter.name);
    }
    return headings;
}

int EventCopyTable::RowCount() {
    return selection.Count();
}

bool EventCopyTable::NextRow() {
    row = selection.Next(row);
    if (row < 0 || row >= rowCount) {
        return false;
    }
    if (row < blockFirst || row >= blockFirst + blockCount) {
        ReadBlockAt(row);
    }
    return true;
}

void EventCopyTable::ReadBlockAt(int64_t first) {
    blockFirst = first;
    blockCount = 1;
    blockRead = false;
    const int64_t eventSize = dataSet.eventSize;
    if (eventSize <= 0 || eventSize > kMaxEventSize) {
        return;
    }
    blockCount = std::min(std::max<int64_t>(kCopyBlockBytes / eventSize, 1), rowCount - first);
    block.resize(static_cast<size_t>(blockCount * eventSize));
    blockRead = dataSet.ReadEvents(first, blockCount, block.data(), delivered);
}

const wchar_t* EventCopyTable::Cell(int column) {
    if (!blockRead) {
        return kNoValueText;
    }
    FormatDecodedValue(dataSet.BlockValue(block.data(), delivered, row - blockFirst, column),
                       kNoValueText, text, kDisplayTextLength);
    return text;
}

size_t EventCopyTable::LineLengthBound() {
    const size_t columns = dataSet.parameters.size();
    return LineLength(columns * kMaxValueTextLength, columns);
}
