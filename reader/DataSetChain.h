// The viewer's road through one file: the first data set at offset 0 and, when its $NEXTDATA
// is not 0, a second one at that absolute offset. A third is never read.
#pragma once

#include "DataSet.h"

struct DataSetChain {
    int count = 0;        // data sets read successfully: 0, 1 or 2
    bool failed = false;  // a Parse (or the positioning before it) failed: "Unknown format"
};

// Both data sets must be freshly constructed or reset. A failing second data set leaves the
// first one (and its rows) in place; count then is 1 and failed true.
DataSetChain ReadDataSets(DataFile& file, DataSet& first, DataSet& second,
                          SegmentList& segments);
