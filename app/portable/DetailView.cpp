// The cell-text rules of the segment views: HEADER offsets as "%d" beside their labels,
// keywords pointed at in the model, event values formatted by the data set.
#include "DetailView.h"

#include <algorithm>

#include "BoundedFormat.h"

namespace {

constexpr const wchar_t* kHeaderLabels[kHeaderOffsetCount] = {
    L"Text Start", L"Text End", L"Data Start", L"Data End", L"Analysis Start", L"Analysis End",
};

constexpr const wchar_t* kEmptyText = L"";

bool IsKeywordCell(const DataSet& dataSet, int row) {
    return row >= 0 && static_cast<size_t>(row) < dataSet.keywords.size();
}

}  // namespace

const wchar_t* HeaderFieldLabel(int row) {
    return row >= 0 && row < kHeaderOffsetCount ? kHeaderLabels[row] : kEmptyText;
}

bool RowShowsSecondDataSet(int row, int kind) {
    return row != kind;
}

std::vector<DetailColumn> DetailColumns(int kind, const DataSet& dataSet) {
    switch (kind) {
        case kSegmentHeader:
            return {{L"Field", kHeaderColumnWidth}, {L"Offset", kHeaderColumnWidth}};
        case kSegmentText:
            return {{L"Keyword", kKeywordColumnWidth}, {L"Value", kValueColumnWidth}};
        case kSegmentData: {
            std::vector<DetailColumn> columns;
            columns.reserve(dataSet.parameters.size());
            for (const Parameter& parameter : dataSet.parameters) {
                columns.push_back({parameter.name, kParameterColumnWidth});
            }
            return columns;
        }
        default:
            return {};
    }
}

int DetailRowCount(int kind, const DataSet& dataSet) {
    switch (kind) {
        case kSegmentHeader:
            return kHeaderOffsetCount;
        case kSegmentText:
            return static_cast<int>(dataSet.keywords.size());
        case kSegmentData:
            return static_cast<int>(std::min<int64_t>(dataSet.eventCount, kMaxListRows));
        default:
            return 0;
    }
}

const wchar_t* DetailCellText(int kind, DataSet& dataSet, int row, int column) {
    switch (kind) {
        case kSegmentHeader:
            if (row < 0 || row >= kHeaderOffsetCount) {
                return kEmptyText;
            }
            if (column == 0) {
                CopyWide256(displayText, kHeaderLabels[row]);
            } else if (FormatWide256(displayText, L"%d", dataSet.headerOffsets[row]) < 0) {
                return kEmptyText;
            }
            return displayText;
        case kSegmentText: {
            if (!IsKeywordCell(dataSet, row)) {
                return kEmptyText;
            }
            const Keyword& keyword = dataSet.keywords[row];
            return column == 0 ? keyword.name.c_str() : keyword.value.c_str();
        }
        case kSegmentData:
            if (row < 0 || row >= dataSet.eventCount || column < 0 ||
                static_cast<size_t>(column) >= dataSet.parameters.size()) {
                return kEmptyText;
            }
            dataSet.FormatValue(row, column);
            return displayText;
        default:
            return kEmptyText;
    }
}

bool ClampCacheHint(const DataSet& dataSet, int& first, int& last) {
    if (first < 0) {
        first = 0;
    }
    if (last >= dataSet.eventCount) {
        last = static_cast<int>(dataSet.eventCount - 1);  // below last, so it fits an int
    }
    return first <= last;
}
