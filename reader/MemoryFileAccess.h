// A file held in memory, for tests, tools and fuzzers. It behaves like a file opened for
// reading (seeking past the end succeeds, reads there deliver nothing) and can be told to fail
// reads or seeks from a given call on, to deliver short reads, and counts its calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FileAccess.h"

class MemoryFileAccess : public FileAccess {
public:
    struct Faults {
        int64_t failReadsFrom = -1;  // the read (counted from 0) from which reads fail; -1 never
        ErrorCode readError = kErrorReadFault;
        int64_t failSeeksFrom = -1;  // the seek (counted from 0) from which seeks fail
        ErrorCode seekError = kErrorNegativeSeek;
        uint32_t maxDelivered = 0;   // when not 0, no read delivers more than this
    };

    explicit MemoryFileAccess(std::vector<uint8_t> contents);
    MemoryFileAccess(const uint8_t* data, size_t size);

    ErrorCode Read(void* buffer, uint32_t count, uint32_t& delivered) override;
    ErrorCode Seek(int64_t offset) override;

    Faults faults;
    int64_t readCount = 0;
    int64_t seekCount = 0;
    int64_t position = 0;

private:
    std::vector<uint8_t> bytes;
};
