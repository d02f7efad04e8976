// Reading the one or two data sets of a file. A $NEXTDATA the file cannot be positioned at (a
// negative one, say) is a file error, as the positioning call reports it; a position where no
// data set can be read (beyond the end of the file, or bytes that are none) is not a data set.
#include "DataSetChain.h"

namespace {

bool ReadOne(DataFile& file,
             DataSet& dataSet,
             SegmentList& segments,
             int64_t base,
             int64_t& nextData,
             DataSetChain& chain) {
    const FileStatus status = file.Seek(base);
    if (!status.Ok()) {
        chain.failure = DataSetChain::Failure::kFileError;
        chain.fileError = status;
        return false;
    }
    if (!dataSet.Parse(segments, base, nextData)) {
        chain.failure = DataSetChain::Failure::kNotADataSet;
        return false;
    }
    ++chain.count;
    return true;
}

}  // namespace

DataSetChain ReadDataSets(DataFile& file, DataSet& first, DataSet& second, SegmentList& segments) {
    DataSetChain chain;
    int64_t nextData = 0;
    if (!ReadOne(file, first, segments, 0, nextData, chain) || nextData == 0) {
        return chain;
    }
    // Whatever the second data set names after itself is not followed.
    chain.secondBase = nextData;
    ReadOne(file, second, segments, chain.secondBase, nextData, chain);
    return chain;
}
