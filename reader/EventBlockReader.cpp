// Block reads by file position. Several counting lanes read one file at once, so a read and the
// positioning before it happen as one step for every reader that comes through here.
#include "EventBlockReader.h"

#include <atomic>

#include "SafeMath.h"

namespace {

// Held only around one positioning and its reads.
std::atomic_flag fileInUse = ATOMIC_FLAG_INIT;

class FileTurn {
public:
    FileTurn() {
        while (fileInUse.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~FileTurn() { fileInUse.clear(std::memory_order_release); }
    FileTurn(const FileTurn&) = delete;
    FileTurn& operator=(const FileTurn&) = delete;
};

}  // namespace

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
        block.error = kErrorNegativeSeek;
        return block;
    }
    const uint32_t wanted = static_cast<uint32_t>(size);
    FileTurn turn;
    block.error = dataSet.eventFile.Seek(position);
    while (block.error == kErrorSuccess && block.bytes < wanted) {
        uint32_t arrived = 0;
        const ErrorCode result =
            dataSet.eventFile.Read(buffer + block.bytes, wanted - block.bytes, arrived);
        if (result == kErrorHandleEof || (result == kErrorSuccess && arrived == 0)) {
            block.fileEnded = true;
            break;
        }
        if (result != kErrorSuccess) {
            block.error = result;
            break;
        }
        block.bytes += arrived;
    }
    block.events = block.bytes / eventSize;
    return block;
}
