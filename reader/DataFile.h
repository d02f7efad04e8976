// The open data file shared by both data sets of the viewer.
#pragma once

#include <memory>

#include "FileAccess.h"

class DataFile {
public:
    std::unique_ptr<FileAccess> handle;  // null while no file is open
    bool atEnd = false;                  // the last read delivered nothing although asked for bytes

    bool IsOpen() const { return handle != nullptr; }
    void Open(std::unique_ptr<FileAccess> access);
    void Close();

    // A read delivering fewer bytes than asked succeeds; one delivering none for a non-zero
    // count yields kErrorHandleEof and sets atEnd. Every read rewrites atEnd.
    ErrorCode Read(void* buffer, uint32_t count, uint32_t& delivered);
    ErrorCode Seek(int64_t offset);
};
