// Reads a data file's data sets through the reader's one road (the viewer's) and keeps everything
// the viewer would show: segment rows, HEADER offsets, keywords, warnings, layout and chosen
// events' cell texts, and how the reading ended.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DataSet.h"
#include "DataSetChain.h"
#include "RecordingOutput.h"

struct EventRange {
    int64_t first = 0;
    int64_t count = 0;  // 0: no events
};

constexpr char kCellSeparator = '\t';

struct DataSetReport {
    int64_t base = 0;
    std::vector<SegmentTable::Row> rows;  // the three rows the data set added to the segment list
    std::array<int32_t, kHeaderOffsetCount> headerOffsets{};
    std::vector<Keyword> keywords;
    std::vector<std::wstring> warnings;
    char dataType = 'I';
    std::vector<int32_t> byteOrder;
    std::vector<Parameter> parameters;
    int64_t dataOffset = 0;
    int32_t eventSize = 0;
    int64_t eventCount = 0;
    int64_t firstEvent = 0;                        // index of events[0]
    // One row per event: its cell texts in UTF-8, separated by kCellSeparator. A cell is a
    // number or one of the reader's fixed texts, so none holds the separator.
    std::vector<std::string> events;
};

struct FileReport {
    std::vector<DataSetReport> dataSets;  // those read, in file order
    DataSetChain outcome;                 // how the reading ended
};

// file must be open and positioned at its start. The reader's developer diagnostics go to
// stderr when showDiagnostics is set.
FileReport InspectFile(DataFile& file, const EventRange& range, bool showDiagnostics);
