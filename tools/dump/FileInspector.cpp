// Drives the reader through a file as the viewer does: the first data set at offset 0, and
// when its $NEXTDATA is not 0 a second one there, never a third. Event cells are filled a
// screen at a time (cache hint, then one FormatValue per cell), as the data view asks for them.
#include "FileInspector.h"

#include <algorithm>
#include <cstdio>

#include "Utf8.h"

const char* const kHeaderOffsetLabels[kHeaderOffsetCount] = {
    "Text Start", "Text End", "Data Start", "Data End", "Analysis Start", "Analysis End"};

namespace {

constexpr int kMaxDataSets = 2;
constexpr int64_t kScreenRows = 50;  // rows of one cache hint

void FillEvents(DataSet& dataSet, const EventRange& range, DataSetReport& report) {
    report.firstEvent = range.first;
    const int64_t end = std::min<int64_t>(range.first + range.count, dataSet.eventCount);
    const int32_t parameterCount = static_cast<int32_t>(dataSet.parameters.size());
    for (int64_t first = range.first; first < end; first += kScreenRows) {
        const int64_t last = std::min(first + kScreenRows, end) - 1;
        dataSet.FillCache(static_cast<int32_t>(first), static_cast<int32_t>(last));
        for (int64_t event = first; event <= last; ++event) {
            std::vector<std::string> cells;
            cells.reserve(static_cast<size_t>(parameterCount));
            for (int32_t p = 0; p < parameterCount; ++p) {
                dataSet.FormatValue(static_cast<int32_t>(event), p);
                cells.push_back(WideToUtf8(displayText));
            }
            report.events.push_back(std::move(cells));
        }
    }
}

DataSetReport ReportOf(const DataSet& dataSet,
                       int64_t base,
                       const SegmentTable& segments,
                       size_t firstRow,
                       const WarningLog& log) {
    DataSetReport report;
    report.base = base;
    report.rows.assign(segments.rows.begin() + static_cast<std::ptrdiff_t>(firstRow),
                       segments.rows.end());
    report.headerOffsets = dataSet.headerOffsets;
    report.keywords = dataSet.keywords;
    report.warnings = log.warnings;
    report.dataType = dataSet.dataType;
    report.byteOrder = dataSet.byteOrder;
    report.parameters = dataSet.parameters;
    report.dataOffset = dataSet.dataOffset;
    report.eventSize = dataSet.eventSize;
    report.eventCount = dataSet.eventCount;
    return report;
}

}  // namespace

FileReport InspectFile(DataFile& file, const EventRange& range, bool showDiagnostics) {
    FileReport report;
    SegmentTable segments;
    int64_t nextData = 0;
    int64_t base = 0;
    for (int index = 0; index < kMaxDataSets; ++index) {
        if (index > 0) {
            if (nextData == 0) {
                break;
            }
            base = nextData;
            // A $NEXTDATA the file cannot be positioned at leaves no data set to read there.
            if (file.Seek(base) != kErrorSuccess) {
                report.unknownFormat = true;
                break;
            }
        }
        WarningLog log;
        DataSet dataSet(file, log);
        const size_t firstRow = segments.rows.size();
        const bool parsed = dataSet.Parse(segments, base, nextData);
        if (showDiagnostics) {
            for (const std::string& line : log.diagnostics) {
                std::fputs(line.c_str(), stderr);
            }
        }
        if (!parsed) {
            report.unknownFormat = true;
            break;
        }
        DataSetReport dataSetReport = ReportOf(dataSet, base, segments, firstRow, log);
        if (range.count > 0 && range.first >= 0) {
            FillEvents(dataSet, range, dataSetReport);
        }
        report.dataSets.push_back(std::move(dataSetReport));
    }
    return report;
}
