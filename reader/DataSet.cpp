// A data set's life cycle: construction, reset, and Parse, which runs the HEADER, TEXT,
// keyword and segment-row steps in order. Parse fails only while the HEADER and TEXT are read;
// everything found wrong after that is a warning and reading goes on.
#include "DataSet.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>

#include "SegmentRows.h"
#include "TextSplitter.h"

DataSet::DataSet(DataFile& dataFile, WarningSink& warningSink)
    : file(dataFile), eventFile(dataFile), warnings(warningSink) {}

void DataSet::Reset() {
    versionMajor = 0;
    versionMinor = 0;
    keywords.clear();
    parameters.clear();
    byteOrder.clear();
    fieldOffsets.clear();
    valuesReadable = true;
    ReleaseCache();
}

bool DataSet::Parse(SegmentList& segments, int64_t base, int64_t& nextData) {
    Bounds bounds;
    if (!ReadHeader(base, bounds)) {
        return false;
    }
    {
        std::vector<Keyword> found;
        try {
            std::vector<char> text;
            if (!ReadTextSegment(bounds, text)) {
                return false;
            }
            const std::vector<std::string> items = SplitTextItems(text.data());
            text = std::vector<char>();
            // FCS 3.1 made UTF-8 the keywords' encoding.
            const TextEncoding encoding =
                AtLeastVersion(3, 1) ? TextEncoding::kUtf8WhereValid : TextEncoding::kAnsi;
            if (!PairKeywords(items, encoding, found)) {
                return false;
            }
            keywords.reserve(keywords.size() + found.size());
        } catch (const std::bad_alloc&) {
            // A TEXT segment too large for this machine's memory is not a readable data set.
            return false;
        }
        std::move(found.begin(), found.end(), std::back_inserter(keywords));
    }
    InterpretKeywords(base, bounds, nextData);
    AddSegmentRows(*this, segments);
    return true;
}
