// Columns and rows of the program's report-style list views: the left list's two columns, and
// the right list rebuilt as a whole for the segment that a row of the left list names.
#pragma once

#include <windows.h>

#include "DataSet.h"

// Inserts a left-aligned column at index, with iSubItem equal to index.
void InsertReportColumn(HWND list, int index, const wchar_t* heading, int width);

// Deletes column 0 for as long as the list reports one.
void RemoveAllColumns(HWND list);

// Replaces the columns and the row count of the right list with those of a segment (a
// SegmentKind) of a data set. The rows themselves are never stored: the list asks for them.
void RebuildDetailList(HWND list, int kind, const DataSet& dataSet);
