// The one road through a file, taken by the viewer, the inspector, the fuzzer and the tests:
// the first data set at offset 0 and, when its $NEXTDATA is not 0, a second one at that
// absolute offset. A third is never read.
#pragma once

#include "DataSet.h"

constexpr int kMaxDataSets = 2;  // the first and the one its $NEXTDATA names

// What reading a file's data sets came to.
struct DataSetChain {
    enum class Failure {
        kNone,         // every data set the file names was read
        kNotADataSet,  // a HEADER or TEXT segment could not be read: "Unknown format"
        kFileError,    // the file could not be positioned at a data set: fileError says why
    };

    int count = 0;  // data sets read successfully: 0, 1 or 2
    Failure failure = Failure::kNone;
    FileStatus fileError;    // for kFileError only
    int64_t secondBase = 0;  // the second data set's offset; 0 when none was named

    bool Failed() const { return failure != Failure::kNone; }
};

// Both data sets must be freshly constructed or reset. A failing second data set leaves the
// first one (and its rows) in place; count then is 1 and the failure says what went wrong.
DataSetChain ReadDataSets(DataFile& file, DataSet& first, DataSet& second, SegmentList& segments);
