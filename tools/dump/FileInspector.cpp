// Reads a file through the reader's ReadDataSets, the viewer's own road, and keeps what each
// data set shows. Event cells are filled a screen at a time (cache hint, then one cell value
// and its text per cell), as the data view asks for them.
#include "FileInspector.h"

#include <algorithm>
#include <cstdio>

#include "SegmentRows.h"
#include "Utf8.h"

namespace {

constexpr int64_t kScreenRows = 50;      // rows of one cache hint
constexpr size_t kCellLengthGuess = 24;  // a fifteen-digit real with its exponent and separator

void FillEvents(DataSet& dataSet, const EventRange& range, DataSetReport& report) {
    report.firstEvent = range.first;
    // first + count may pass the largest number; the data set's own count bounds it anyway.
    const int64_t end = range.count > dataSet.eventCount - range.first ? dataSet.eventCount
                                                                       : range.first + range.count;
    const int32_t parameterCount = static_cast<int32_t>(dataSet.parameters.size());
    for (int64_t first = range.first; first < end; first += kScreenRows) {
        const int64_t last = std::min(first + kScreenRows, end) - 1;
        dataSet.FillCache(first, last);
        for (int64_t event = first; event <= last; ++event) {
            std::string row;
            row.reserve(static_cast<size_t>(parameterCount) * kCellLengthGuess);
            for (int32_t p = 0; p < parameterCount; ++p) {
                if (p > 0) {
                    row += kCellSeparator;
                }
                // The viewer's cell text, taken before it is widened for the screen.
                char text[kValueTextCapacity];
                const char* const textEnd = FormatValueText(dataSet.CellValue(event, p), text);
                if (textEnd == nullptr) {
                    AppendUtf8(row, kNoValueText);
                } else {
                    row.append(text, static_cast<size_t>(textEnd - text));
                }
            }
            report.events.push_back(std::move(row));
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
    const auto rowsBegin = segments.rows.begin() + static_cast<std::ptrdiff_t>(firstRow);
    report.rows.assign(rowsBegin, rowsBegin + kSegmentRowsPerDataSet);
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
    // One log per data set, so that each report holds its own warnings.
    WarningLog logs[kMaxDataSets];
    DataSet first(file, logs[0]);
    DataSet second(file, logs[1]);
    DataSet* const dataSets[kMaxDataSets] = {&first, &second};
    SegmentTable segments;
    FileReport report;
    report.outcome = ReadDataSets(file, first, second, segments);
    for (int index = 0; index < kMaxDataSets; ++index) {
        if (showDiagnostics) {
            for (const std::string& line : logs[index].diagnostics) {
                std::fputs(line.c_str(), stderr);
            }
        }
        if (index >= report.outcome.count) {
            continue;
        }
        const int64_t base = index == 0 ? 0 : report.outcome.secondBase;
        DataSetReport dataSetReport =
            ReportOf(*dataSets[index], base, segments,
                     static_cast<size_t>(index) * kSegmentRowsPerDataSet, logs[index]);
        if (range.count > 0 && range.first >= 0) {
            FillEvents(*dataSets[index], range, dataSetReport);
        }
        report.dataSets.push_back(std::move(dataSetReport));
    }
    return report;
}
