// The right list rebuilt as a whole for the segment that a row of the left list names.
#pragma once

#include "CommonControls.h"
#include "DataSet.h"

// Replaces the columns and the row count of the right list with those of a segment's view (a
// SegmentKind) of a data set. The rows themselves are never stored: the list asks for them.
void RebuildDetailList(CommonControls::ListView& list, int kind, const DataSet& dataSet);
