// A file held in memory, for tests, tools and fuzzers. It behaves like a file opened for
// reading (reads past the end deliver nothing) and can be told to fail reads from a given call
// on, to deliver short reads, and counts its calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FileAccess.h"

class MemoryFileAccess : public FileAccess {
public:
    // A platform code that stands for a failing device in tests (EIO on POSIX systems).
    static constexpr uint32_t kFaultCode = 5;

    struct Faults {
        int64_t failReadsFrom = -1;  // the read (counted from 0) from which reads fail; -1 never
        uint32_t readError = kFaultCode;  // the platform code the failing reads report
        uint32_t maxDelivered = 0;        // when not 0, no read delivers more than this
    };

    explicit MemoryFileAccess(std::vector<uint8_t> contents);
    MemoryFileAccess(const uint8_t* data, size_t size);

    FileStatus ReadAt(int64_t offset, void* buffer, uint32_t count, uint32_t& delivered) override;

    Faults faults;
    int64_t readCount = 0;
    int64_t lastOffset = -1;  // where the last read asked to start

private:
    std::vector<uint8_t> bytes;
};
