// The views of the right list: HEADER offsets as "%d" beside their labels, keywords pointed at
// in the model, event values formatted by the data set, each view one entry of a table indexed
// by the segment kind. A copy reads a view's cells as the list does, except for events, which
// it reads in blocks.
#include "DetailView.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "BoundedFormat.h"
#include "EventCopyTable.h"
#include "GridCopyTable.h"
#include "ProgramTexts.h"
#include "SegmentRows.h"

namespace {

static_assert(kHeaderFieldLabelCount == kHeaderOffsetCount, "one label per HEADER offset");

constexpr const wchar_t* kEmptyText = L"";

// A view's cells over one data set, for a copy.
class ViewGrid final : public TextGrid {
public:
    ViewGrid(const DetailView& shownView, DataSet& shownSet) : view(shownView), dataSet(shownSet) {}

    std::vector<std::wstring> Headings() override {
        std::vector<std::wstring> headings;
        for (DetailColumn& column : view.Columns(dataSet)) {
            headings.push_back(std::move(column.heading));
        }
        return headings;
    }
    int RowCount() override { return view.RowCount(dataSet); }
    const wchar_t* Cell(int row, int column) override {
        return view.CellText(dataSet, row, column);
    }

private:
    const DetailView& view;
    DataSet& dataSet;
};

// The six HEADER offsets beside their labels.
class HeaderView final : public DetailView {
public:
    std::vector<DetailColumn> Columns(const DataSet&) const override {
        return {{L"Field", kHeaderColumnWidth}, {L"Offset", kHeaderColumnWidth}};
    }
    int RowCount(const DataSet&) const override { return kHeaderOffsetCount; }

protected:
    const wchar_t* Cell(DataSet& dataSet, int row, int column) const override {
        if (column == 0) {
            CopyWide256(displayText, kHeaderFieldLabels[row]);
        } else if (FormatWide256(displayText, L"%d", dataSet.headerOffsets[row]) < 0) {
            return kEmptyText;
        }
        return displayText;
    }
};

// The keywords in file order; their texts are pointed at, never copied.
class KeywordView final : public DetailView {
public:
    std::vector<DetailColumn> Columns(const DataSet&) const override {
        return {{L"Keyword", kKeywordColumnWidth}, {L"Value", kValueColumnWidth}};
    }
    int RowCount(const DataSet& dataSet) const override {
        return static_cast<int>(dataSet.keywords.size());
    }

protected:
    const wchar_t* Cell(DataSet& dataSet, int row, int column) const override {
        const Keyword& keyword = dataSet.keywords[static_cast<size_t>(row)];
        return column == 0 ? keyword.name.c_str() : keyword.value.c_str();
    }
};

// One row per event, one column per parameter, as many rows as the list can hold.
class EventView final : public DetailView {
public:
    std::vector<DetailColumn> Columns(const DataSet& dataSet) const override {
        std::vector<DetailColumn> columns;
        columns.reserve(dataSet.parameters.size());
        for (const Parameter& parameter : dataSet.parameters) {
            columns.push_back({parameter.name, kParameterColumnWidth});
        }
        return columns;
    }
    int RowCount(const DataSet& dataSet) const override {
        return static_cast<int>(std::min<int64_t>(dataSet.eventCount, kMaxListRows));
    }

    std::unique_ptr<CopyTable> CopyRows(DataSet& dataSet, RowSelection& selection) const override {
        return std::make_unique<EventCopyTable>(dataSet, RowCount(dataSet), selection);
    }

protected:
    const wchar_t* Cell(DataSet& dataSet, int row, int column) const override {
        if (static_cast<size_t>(column) >= dataSet.parameters.size()) {
            return kEmptyText;
        }
        dataSet.FormatValue(row, column);
        return displayText;
    }
};

class NoView final : public DetailView {
public:
    std::vector<DetailColumn> Columns(const DataSet&) const override { return {}; }
    int RowCount(const DataSet&) const override { return 0; }

protected:
    const wchar_t* Cell(DataSet&, int, int) const override { return kEmptyText; }
};

const HeaderView headerView;
const KeywordView keywordView;
const EventView eventView;
const NoView noView;

// Indexed by SegmentKind.
const DetailView* const kViews[] = {&headerView, &keywordView, &eventView};
static_assert(std::size(kViews) == kSegmentRowsPerDataSet, "one view per kind of segment row");

}  // namespace

const wchar_t* DetailView::CellText(DataSet& dataSet, int row, int column) const {
    if (row < 0 || row >= RowCount(dataSet) || column < 0) {
        return kEmptyText;
    }
    return Cell(dataSet, row, column);
}

std::unique_ptr<CopyTable> DetailView::CopyRows(DataSet& dataSet, RowSelection& selection) const {
    return std::make_unique<GridCopyTable>(std::make_unique<ViewGrid>(*this, dataSet), selection);
}

const DetailView& DetailViewOf(int kind) {
    if (kind < 0 || static_cast<size_t>(kind) >= std::size(kViews)) {
        return noView;
    }
    return *kViews[kind];
}

bool RowShowsSecondDataSet(int row) {
    return row >= kSegmentRowsPerDataSet;
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
