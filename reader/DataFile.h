// The open data file shared by both data sets of the viewer.
#pragma once

#include <memory>

#include "FileAccess.h"

class DataFile {
public:
    std::unique_ptr<FileAccess> handle;  // null while no file is open
    bool atEnd = false;  // the last cursor read delivered nothing although asked for bytes

    bool IsOpen() const { return handle != nullptr; }
    void Open(std::unique_ptr<FileAccess> access);
    void Close();

    // Reading at the cursor, which the HEADER's sequential reads rely on. A read delivering
    // fewer bytes than asked succeeds; one delivering none for a non-zero count is kEndOfFile
    // and sets atEnd. Every cursor read rewrites atEnd and moves the cursor past what arrived.
    FileStatus Read(void* buffer, uint32_t count, uint32_t& delivered);
    // Moves the cursor; a negative offset is kBeforeStart and leaves it where it was.
    FileStatus Seek(int64_t offset);
    // One read at offset, the cursor and atEnd left alone; safe from another thread as long as
    // the file stays open. The same outcomes as Read.
    FileStatus ReadAt(int64_t offset, void* buffer, uint32_t count, uint32_t& delivered) const;

private:
    int64_t cursor = 0;
};
