// Reads a file the way the viewer does (one or two data sets) and formats the cells of its
// first and last events, through cache hints and single-event reads alike. Shared by the
// corpus and crasher tests and the fuzz target.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "DataSet.h"
#include "DataSetChain.h"

struct WalkLimits {
    int32_t events = 100;        // from each end of the data set
    size_t parameters = 100000;  // columns formatted per event
};

inline void FormatEvents(DataSet& dataSet, int64_t first, int64_t last, size_t parameters) {
    const size_t columns = std::min(parameters, dataSet.parameters.size());
    for (int64_t e = first; e <= last; ++e) {
        for (size_t p = 0; p < columns; ++p) {
            dataSet.FormatValue(e, static_cast<int32_t>(p));
        }
    }
}

inline void WalkDataSet(DataSet& dataSet, const WalkLimits& limits) {
    const int64_t count = dataSet.eventCount;
    if (count <= 0) {
        return;
    }
    const int64_t head = std::min<int64_t>(count, limits.events);
    dataSet.FillCache(0, head - 1);
    FormatEvents(dataSet, 0, head - 1, limits.parameters);
    const int64_t tailFirst = std::max<int64_t>(0, count - limits.events);
    dataSet.FillCache(tailFirst, count - 1);
    FormatEvents(dataSet, tailFirst, count - 1, limits.parameters);
    // Cells outside the hinted range read their own events.
    dataSet.FillCache(0, 0);
    FormatEvents(dataSet, count - 1, count - 1, limits.parameters);
    // Hints no list would give: everything, and beyond.
    dataSet.FillCache(0, count - 1);
    dataSet.FillCache(-1, INT64_MAX);
    FormatEvents(dataSet, count / 2, count / 2, limits.parameters);
}

// Returns the chain's result; walks every data set that was read.
template <typename ReadingT>
DataSetChain WalkFile(ReadingT& reading, const WalkLimits& limits) {
    const DataSetChain chain =
        ReadDataSets(reading.file, reading.first, reading.second, reading.segments);
    if (chain.count >= 1) {
        WalkDataSet(reading.first, limits);
    }
    if (chain.count >= 2) {
        WalkDataSet(reading.second, limits);
    }
    return chain;
}
