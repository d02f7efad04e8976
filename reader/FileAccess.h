// The one way the reader touches a file. The program reads through CreateFileW/ReadFile;
// tests, tools and fuzzers read from memory or POSIX files through the same interface.
#pragma once

#include <cstdint>

// Platform error codes as plain values: 0 for success, otherwise what the platform reported.
using ErrorCode = uint32_t;
constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorInvalidHandle = 6;  // no file is open
constexpr ErrorCode kErrorHandleEof = 38;  // a read that delivered nothing although asked for bytes
constexpr ErrorCode kErrorReadFault = 30;
constexpr ErrorCode kErrorNegativeSeek = 131;

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // Reads up to count bytes at the current position; delivered receives how many arrived.
    virtual ErrorCode Read(void* buffer, uint32_t count, uint32_t& delivered) = 0;
    // Moves the position to an absolute offset from the start of the file.
    virtual ErrorCode Seek(int64_t offset) = 0;
};
