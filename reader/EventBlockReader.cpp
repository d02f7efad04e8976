// Block reads by file position, looping until the block is whole or the file ends.
#include "EventBlockReader.h"

#include "SafeMath.h"

EventBlockReader::EventBlockReader(const DataSet& events) : dataSet(events) {}

EventBlock EventBlockReader::Read(int64_t first, int64_t count, uint8_t* buffer) const {
    EventBlock block;
    const int64_t eventSize = dataSet.eventSize;
    int64_t size = 0;
    int64_t skip = 0;
    int64_t position = 0;
    if (eventSize <= 0 || first < 0 || count <= 0 || !CheckedMul(count, eventSize, size) ||
        size > kMaxBlockBytes || !CheckedMul(first, eventSize, skip) ||
        !CheckedAdd(dataSet.dataOffset, skip, position)) {
        // Beyond any file a position could name.
        block.fileEnded = true;
        block.errorOffset = dataSet.dataOffset;
        return block;
    }
    const uint32_t wanted = static_cast<uint32_t>(size);
    while (block.bytes < wanted) {
        uint32_t arrived = 0;
        const int64_t at = position + block.bytes;
        const FileStatus status =
            dataSet.eventFile.ReadAt(at, buffer + block.bytes, wanted - block.bytes, arrived);
        if (status.outcome == FileOutcome::kEndOfFile || (status.Ok() && arrived == 0)) {
            block.fileEnded = true;
            break;
        }
        if (!status.Ok()) {
            block.error = status;
            block.errorOffset = at;
            break;
        }
        block.bytes += arrived;
    }
    block.events = block.bytes / eventSize;
    return block;
}
