// Event values on demand: the cache of the rows the list is about to show, single-event reads
// for cells outside it, block reads for readers of many events, and the value of one cell. Every
// read goes through the one block reader and every value through BlockValue, so all roads agree.
// File positions are 64-bit and checked, so events beyond 2 GiB read correctly and absurd offsets
// fail instead of wrapping.
#include <algorithm>
#include <cstring>
#include <new>

#include "DataSet.h"
#include "EventBlockReader.h"
#include "EventDecoder.h"
#include "SafeMath.h"

wchar_t displayText[kDisplayTextLength];

namespace {

std::unique_ptr<uint8_t[]> Allocate(int64_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
}

// Cells never look past the bytes that arrived, but the cache is public and a block belongs to
// its reader, so the part a short read left untouched is cleared rather than left uninitialised.
void ClearUndelivered(uint8_t* buffer, int64_t size, uint32_t delivered) {
    if (delivered < size) {
        std::memset(buffer + delivered, 0, static_cast<size_t>(size - delivered));
    }
}

}  // namespace

void DataSet::ReleaseCache() {
    cache.reset();
    cacheFirst = -1;
    cacheLast = -1;
    cacheBytes = 0;
}

void DataSet::FillCache(int64_t first, int64_t last) {
    ReleaseCache();
    if (eventSize <= 0 || eventCount <= 0) {
        return;
    }
    first = std::max<int64_t>(first, 0);
    last = std::min(last, eventCount - 1);
    if (first > last) {
        return;
    }
    const int64_t count = last - first + 1;
    int64_t size = 0;
    if (!CheckedMul(count, eventSize, size) || size > kMaxCacheBytes) {
        return;  // each cell then reads its own event
    }
    std::unique_ptr<uint8_t[]> buffer = Allocate(size);
    uint32_t delivered = 0;
    if (!buffer || !ReadEvents(first, count, buffer.get(), delivered)) {
        return;
    }
    cache = std::move(buffer);
    cacheFirst = first;
    cacheLast = last;
    cacheBytes = delivered;
}

bool DataSet::ReadSingleEvent(int64_t event) {
    ReleaseCache();
    if (eventSize <= 0 || eventSize > kMaxEventSize) {
        return false;
    }
    std::unique_ptr<uint8_t[]> buffer = Allocate(eventSize);
    uint32_t delivered = 0;
    if (!buffer || !ReadEvents(event, 1, buffer.get(), delivered)) {
        return false;
    }
    cache = std::move(buffer);
    cacheFirst = event;
    cacheLast = event;
    cacheBytes = delivered;
    return true;
}

bool DataSet::ReadEvents(int64_t first, int64_t count, uint8_t* buffer, uint32_t& delivered) {
    delivered = 0;
    const EventBlock block = EventBlockReader(*this).Read(first, count, buffer);
    if (!block.error.Ok() || block.bytes == 0) {
        return false;
    }
    delivered = block.bytes;
    ClearUndelivered(buffer, count * eventSize, delivered);
    return true;
}

bool DataSet::HasField(int32_t parameter) const {
    return parameter >= 0 && static_cast<size_t>(parameter) < parameters.size() &&
           static_cast<size_t>(parameter) < fieldOffsets.size();
}

void DataSet::FormatValue(int64_t event, int32_t parameter) {
    FormatDecodedValue(CellValue(event, parameter), kNoValueText, displayText, kDisplayTextLength);
}

DecodedValue DataSet::CellValue(int64_t event, int32_t parameter) {
    if (event < 0 || event >= eventCount || !HasField(parameter)) {
        return {};
    }
    if (!(cache && cacheFirst <= event && event <= cacheLast) && !ReadSingleEvent(event)) {
        return {};
    }
    return BlockValue(cache.get(), cacheBytes, event - cacheFirst, parameter);
}

DecodedValue DataSet::BlockValue(const uint8_t* events,
                                 int64_t delivered,
                                 int64_t index,
                                 int32_t parameter) const {
    const FieldDecoder decoder = DecoderOf(parameter);
    if (index < 0 || decoder.Kind() == DecodedValue::kNone) {
        return {};
    }
    const int64_t fieldStart = index * eventSize + fieldOffsets[static_cast<size_t>(parameter)];
    const int32_t width = parameters[static_cast<size_t>(parameter)].width;
    // A field any of whose bytes the file did not deliver has no value; a field without bytes
    // (an integer of width 0 reads 0) misses none.
    if (width > 0 && fieldStart + width > delivered) {
        return {};
    }
    return decoder.Decode(events + fieldStart);
}

FieldDecoder DataSet::DecoderOf(int32_t parameter) const {
    if (!valuesReadable || !HasField(parameter)) {
        return {};
    }
    const Parameter& column = parameters[static_cast<size_t>(parameter)];
    // A field reaching past its event has no bytes of its own to decode.
    if (column.width < 0 ||
        fieldOffsets[static_cast<size_t>(parameter)] + column.width > eventSize) {
        return {};
    }
    return FieldDecoder(column.dataType, column.width, byteOrder);
}
