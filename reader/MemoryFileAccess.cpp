// In-memory file for tests, tools and fuzzers.
#include "MemoryFileAccess.h"

#include <algorithm>
#include <cstring>
#include <utility>

MemoryFileAccess::MemoryFileAccess(std::vector<uint8_t> contents) : bytes(std::move(contents)) {}

MemoryFileAccess::MemoryFileAccess(const uint8_t* data, size_t size) : bytes(data, data + size) {}

FileStatus MemoryFileAccess::ReadAt(int64_t offset,
                                    void* buffer,
                                    uint32_t count,
                                    uint32_t& delivered) {
    delivered = 0;
    const int64_t call = readCount++;
    lastOffset = offset;
    if (faults.failReadsFrom >= 0 && call >= faults.failReadsFrom) {
        return FileStatus::System(faults.readError);
    }
    if (offset < 0) {
        return {FileOutcome::kBeforeStart};
    }
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (offset >= size) {
        return {};
    }
    int64_t available = std::min<int64_t>(count, size - offset);
    if (faults.maxDelivered != 0) {
        available = std::min<int64_t>(available, faults.maxDelivered);
    }
    std::memcpy(buffer, bytes.data() + offset, static_cast<size_t>(available));
    delivered = static_cast<uint32_t>(available);
    return {};
}
