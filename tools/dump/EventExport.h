// Export of a data set's events as comma- or tab-separated text, streamed from the file in
// blocks whatever its size, with every value written so that it reads back exactly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "DataSet.h"

enum class ExportFormat { kCsv, kTsv };

struct ExportOutcome {
    int64_t eventsAsked = 0;    // the events of the range that the data set has
    int64_t eventsWritten = 0;  // complete events written, from the first of the range on
    // What ended the export before eventsAsked: kEndOfFile when the file ends inside the DATA
    // segment, the read's own outcome otherwise (kBeforeStart for DATA before the start of the
    // file). Ok when all were written.
    FileStatus readError;
    int64_t readOffset = 0;    // where the read that ended the export was to start
    bool writeFailed = false;  // the output refused bytes; the export stopped there
};

// Writes one header line of parameter names and then one line per event from event first on,
// at most count of them (cut to the data set's events). Lines end with LF; cells are separated
// by commas (kCsv) or tabs (kTsv).
// - Names are the parameters' $PnN in UTF-8; a parameter without one is named P<n> (n counted
//   from 1, as in its keywords). CSV quotes a name holding a comma, a double quote, CR or LF
//   (quotes inside doubled); TSV writes backslash, tab, LF and CR as \\, \t, \n and \r.
// - Integers are written in decimal, single- and double-precision reals in the shortest text
//   that reads back to the same float or double ("1.1", "1e+20", "-0", "inf"); every NaN is
//   written "nan". A field the data set cannot decode (a data type other than I, F and D, or
//   a real of another width) is an empty cell.
// Only complete events are written: the export stops where the file ends.
ExportOutcome ExportEvents(DataSet& dataSet,
                           int64_t first,
                           int64_t count,
                           ExportFormat format,
                           std::FILE* out);

// A parameter's name in UTF-8: its $PnN, or P<n> (n = index + 1) when it has none.
std::string ParameterName(const Parameter& parameter, size_t index);
// A parameter's header cell, quoted or escaped for the format. index counts from 0.
std::string ExportHeaderCell(const Parameter& parameter, size_t index, ExportFormat format);
