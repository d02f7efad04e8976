// The three summary rows (Header, Text, Data) a parsed data set adds to the segment list.
#pragma once

#include <string>

#include "DataSet.h"

// Header, Text and Data: a data set's rows, in this order, right after the previous data set's.
constexpr int kSegmentRowsPerDataSet = 3;

std::wstring FormatVersionDetails(const DataSet& dataSet);
std::wstring FormatKeywordDetails(const DataSet& dataSet);
std::wstring FormatEventDetails(const DataSet& dataSet);

// Appends the data set's rows after the rows the list already holds.
void AddSegmentRows(const DataSet& dataSet, SegmentList& segments);
