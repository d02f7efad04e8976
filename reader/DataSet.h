// One data set of a flow-cytometry list-mode file: its HEADER, TEXT keywords, event layout,
// and event values read from the file on demand.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DataFile.h"
#include "EventDecoder.h"
#include "ReaderOutput.h"

struct Keyword {
    std::wstring name;   // as written in the file, case kept
    std::wstring value;  // escaped delimiters already undone
};

struct Parameter {
    std::wstring name;  // from $PnN; empty until set
    int32_t width = 0;  // bytes per event, from $PnB; 0 until set
    // The column's own data type: its $PnDATATYPE in FCS 3.2 and later, else the data set's.
    char dataType = 'I';
};

constexpr int kHeaderOffsetCount = 6;
constexpr int kDisplayTextLength = 256;

// Bounds that keep absurd files from exhausting memory or flooding the user with boxes. Real
// instruments write at most a few thousand parameters and events of a few kilobytes. None of
// them changes what a data set holds: its event count is always the one its DATA bounds give.
// A data set beyond the first two is reported once and shows no values at all, never values
// read from the wrong bytes.
constexpr int32_t kMaxParameterCount = 10000;         // columns beyond these are not listed
constexpr int32_t kMaxEventSize = 1024 * 1024;        // wider events are counted but never read
constexpr int64_t kMaxCacheBytes = 16 * 1024 * 1024;  // larger hints: each cell reads its event

// The text of a cell whose value cannot be shown: a data type other than I, F or D, a width that
// does not fit the data type, a data set beyond the reader's limits, a failed read, or bytes a
// short read did not deliver.
constexpr const wchar_t* kNoValueText = L"?";

// The one buffer into which cell texts are formatted; each text is valid until the next one.
extern wchar_t displayText[kDisplayTextLength];

class DataSet {
public:
    DataSet(DataFile& dataFile, WarningSink& warningSink);
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    void Reset();
    // Reads the data set whose HEADER begins at the file's current position. base is the data
    // set's absolute file offset; nextData receives $NEXTDATA when present. False when the file
    // is not a readable data set there (the caller reports "Unknown format").
    bool Parse(SegmentList& segments, int64_t base, int64_t& nextData);
    // Loads events first..last (first <= last) into the cache. The range is cut to the events
    // that exist; a range wider than kMaxCacheBytes leaves the cache empty, so that each cell
    // then reads its own event.
    void FillCache(int64_t first, int64_t last);
    // Formats one cell into displayText. 0 <= event < eventCount and
    // 0 <= parameter < parameters.size(); arguments outside them give kNoValueText.
    void FormatValue(int64_t event, int32_t parameter);
    // The value FormatValue shows, decoded but not formatted; kNone where it shows kNoValueText.
    DecodedValue CellValue(int64_t event, int32_t parameter);
    // Where each parameter's field starts within its event, one entry per parameter.
    const std::vector<int64_t>& FieldOffsets() const { return fieldOffsets; }

    // For readers that walk many events at once (a copy of many rows), past the cache the list
    // draws from, which they leave alone. ReadEvents reads count events from first on into
    // buffer (count * eventSize bytes, the part the file did not deliver cleared); delivered
    // receives how many bytes arrived. False when nothing could be read there.
    bool ReadEvents(int64_t first, int64_t count, uint8_t* buffer, uint32_t& delivered);
    // How a parameter's fields decode, worked out once for readers of many events: no value
    // (kNone) for a parameter the layout does not place or whose field reaches past its event.
    FieldDecoder DecoderOf(int32_t parameter) const;
    // The value of one field of the event at index in a block that ReadEvents filled (events
    // is the block, delivered its delivered bytes): the value CellValue gives for that event.
    DecodedValue BlockValue(const uint8_t* events,
                            int64_t delivered,
                            int64_t index,
                            int32_t parameter) const;

    DataFile& file;
    int32_t versionMajor = 0;
    int32_t versionMinor = 0;
    std::array<int32_t, kHeaderOffsetCount> headerOffsets{};  // as written, relative to the base
    std::vector<Keyword> keywords;
    std::vector<Parameter> parameters;
    char dataType = 'I';
    std::vector<int32_t> byteOrder;
    DataFile& eventFile;
    int64_t cacheFirst = -1;
    int64_t cacheLast = -1;
    std::unique_ptr<uint8_t[]> cache;
    int64_t dataOffset = 0;  // absolute offset of the first event's first byte
    int64_t eventCount = 0;  // as many as the DATA bounds hold, however many that is
    int32_t eventSize = 0;
    // False when the data set lies beyond one of the reader's limits (more parameters than
    // kMaxParameterCount, events wider than kMaxEventSize): it is counted, its keywords shown,
    // but no field decodes.
    bool valuesReadable = true;

private:
    struct Bounds {
        int64_t textStart = 0;
        int64_t textEnd = 0;
        int64_t dataStart = 0;
        int64_t dataEnd = 0;
    };

    // What the keywords of the event layout say beyond the model's fields.
    struct EventKeywords {
        int64_t totValue = 0;            // 0 without $TOT
        int64_t declaredParameters = 0;  // $PAR as written, before any limit
    };

    bool ReadHeader(int64_t base, Bounds& bounds);
    bool ReadTextSegment(const Bounds& bounds, std::vector<char>& text);
    // The keywords' meaning, in steps whose warnings appear in this order. The event keywords
    // give the $TOT value; the widths and names give the sum of the widths.
    void InterpretKeywords(int64_t base, Bounds bounds, int64_t& nextData);
    EventKeywords ReadEventKeywords(int64_t base, Bounds& bounds, int64_t& nextData);
    void SetDefaultByteOrder();
    void CheckRequiredKeywords();
    void CheckParameterKeywords();
    int64_t ReadWidthsAndNames(int64_t declaredParameters);
    void ComputeLayout(const Bounds& bounds, int64_t widthSum, int64_t totValue);
    void ReadColumnTypes();
    void CheckColumns();
    bool AtLeastVersion(int32_t major, int32_t minor) const;
    void ReleaseCache();
    bool ReadSingleEvent(int64_t event);
    bool HasField(int32_t parameter) const;  // a parameter whose field the layout places

    WarningSink& warnings;
    std::vector<int64_t> fieldOffsets;  // start of each parameter within its event
    int64_t cacheBytes = 0;             // bytes of the cache that the file actually delivered
};
