// What the right-hand list shows for a row of the segment list: its columns, its row count and
// the text of each cell, computed from the shown data set alone. Cell texts either point into
// the model (keywords) or into displayText, which holds one cell's text at a time.
#pragma once

#include <string>
#include <vector>

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

// The labels of the six HEADER offsets, in their order.
const wchar_t* HeaderFieldLabel(int row);

// A segment-list row belongs to the first data set exactly when its index equals its kind.
bool RowShowsSecondDataSet(int row, int kind);

std::vector<DetailColumn> DetailColumns(int kind, const DataSet& dataSet);
int DetailRowCount(int kind, const DataSet& dataSet);

// The text of one cell; a row or column outside the shown segment gives an empty text.
const wchar_t* DetailCellText(int kind, DataSet& dataSet, int row, int column);

// The events a cache hint announces, limited to the data set's events. False when none of them
// exists (nothing to load).
bool ClampCacheHint(const DataSet& dataSet, int& first, int& last);
