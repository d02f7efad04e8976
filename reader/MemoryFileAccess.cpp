// In-memory file for tests, tools and fuzzers.
#include "MemoryFileAccess.h"

#include <algorithm>
#include <cstring>
#include <utility>

MemoryFileAccess::MemoryFileAccess(std::vector<uint8_t> contents) : bytes(std::move(contents)) {}

MemoryFileAccess::MemoryFileAccess(const uint8_t* data, size_t size) : bytes(data, data + size) {}

ErrorCode MemoryFileAccess::Read(void* buffer, uint32_t count, uint32_t& delivered) {
    delivered = 0;
    const int64_t call = readCount++;
    if (faults.failReadsFrom >= 0 && call >= faults.failReadsFrom) {
        return faults.readError;
    }
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (position >= size) {
        return kErrorSuccess;
    }
    int64_t available = std::min<int64_t>(count, size - position);
    if (faults.maxDelivered != 0) {
        available = std::min<int64_t>(available, faults.maxDelivered);
    }
    std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(available));
    position += available;
    delivered = static_cast<uint32_t>(available);
    return kErrorSuccess;
}

ErrorCode MemoryFileAccess::Seek(int64_t offset) {
    const int64_t call = seekCount++;
    if (faults.failSeeksFrom >= 0 && call >= faults.failSeeksFrom) {
        return faults.seekError;
    }
    if (offset < 0) {
        return kErrorNegativeSeek;
    }
    position = offset;
    return kErrorSuccess;
}
