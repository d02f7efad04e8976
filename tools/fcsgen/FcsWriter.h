// Writes generated FCS files (one data set) and LMD files (two data sets chained by $NEXTDATA).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "GenOptions.h"

using KeywordList = std::vector<std::pair<std::string, std::string>>;

// Where one data set's segments lie. Offsets are relative to its base, as in its HEADER.
struct DataSetPlan {
    int64_t base = 0;
    std::string header;  // the 58 bytes of the HEADER
    std::string text;    // the TEXT segment, delimiters and escapes included
    int64_t textStart = 0;
    int64_t dataStart = 0;
    int64_t dataLength = 0;
    int64_t nextData = 0;  // absolute offset of the next data set's HEADER; 0 for the last
};

// The DATA segment follows the TEXT segment directly; chained data sets point $NEXTDATA right
// behind their DATA segment.
DataSetPlan PlanDataSet(const DataSetRecipe& recipe, int64_t base, bool chained);

// The first data set of a generated LMD file: 16-bit little-endian integers in FCS2.0, with the
// parameters, events and pattern of the second.
DataSetRecipe LmdFirstDataSet(const DataSetRecipe& second);

// Returns 0 or the errno of the failing call, with a message for the user in error.
int WriteFcsFile(const GenOptions& options, std::string& error);
