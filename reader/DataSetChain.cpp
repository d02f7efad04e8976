// Reading the one or two data sets of a file, shared by the viewer and the native tools so
// that both follow $NEXTDATA the same way.
#include "DataSetChain.h"

DataSetChain ReadDataSets(DataFile& file, DataSet& first, DataSet& second,
                          SegmentList& segments) {
    DataSetChain chain;
    int64_t nextData = 0;
    if (file.Seek(0) != kErrorSuccess || !first.Parse(segments, 0, nextData)) {
        chain.failed = true;
        return chain;
    }
    chain.count = 1;
    if (nextData == 0) {
        return chain;
    }
    const int64_t base = nextData;
    if (file.Seek(base) != kErrorSuccess || !second.Parse(segments, base, nextData)) {
        chain.failed = true;
        return chain;
    }
    chain.count = 2;
    return chain;
}
