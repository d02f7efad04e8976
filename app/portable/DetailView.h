// What the right-hand list shows for a row of the segment list: one view per kind of segment,
// each giving its columns, its row count and the text of each cell, computed from the shown data
// set alone. Cell texts either point into the model (keywords) or into displayText, which holds
// one cell's text at a time. Each view also copies its selected rows. A new kind of segment is
// one new view in the table behind DetailViewOf.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CopyTable.h"
#include "DataSet.h"
#include "ReaderOutput.h"

struct DetailColumn {
    std::wstring heading;
    int width;  // pixels
};

constexpr int kHeaderColumnWidth = 150;
constexpr int kKeywordColumnWidth = 150;
constexpr int kValueColumnWidth = 300;
constexpr int kParameterColumnWidth = 100;

// The most rows a virtual list view holds. The data view lists a data set's first events up to
// this many; the Data row of the segment list (and ketterlin-dump) give the file's own count, and
// events beyond are not shown in the viewer.
constexpr int kMaxListRows = 100000000;

class DetailView {
public:
    virtual ~DetailView() = default;

    virtual std::vector<DetailColumn> Columns(const DataSet& dataSet) const = 0;
    virtual int RowCount(const DataSet& dataSet) const = 0;

    // The text of one cell; a row or column outside the view gives an empty text.
    const wchar_t* CellText(DataSet& dataSet, int row, int column) const;

    // The selected rows of the view as a table to copy, with the texts CellText gives. Both
    // arguments are borrowed by the table.
    virtual std::unique_ptr<CopyTable> CopyRows(DataSet& dataSet, RowSelection& selection) const;

protected:
    // Only asked for rows inside the view and columns from 0 on.
    virtual const wchar_t* Cell(DataSet& dataSet, int row, int column) const = 0;
};

// The view of a SegmentKind; a kind without a view shows no columns and no rows.
const DetailView& DetailViewOf(int kind);

// Whether a segment-list row belongs to the second data set: each data set adds one row of
// every kind, the second right after the first.
bool RowShowsSecondDataSet(int row);

// The events a cache hint announces, limited to the data set's events. False when none of them
// exists (nothing to load).
bool ClampCacheHint(const DataSet& dataSet, int& first, int& last);
