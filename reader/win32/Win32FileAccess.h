// A data file opened with CreateFileW for reading, the program's real file seam.
#pragma once

#include <windows.h>

#include <memory>

#include "../FileAccess.h"

class Win32FileAccess : public FileAccess {
public:
    // Opens path for reading (others may read it too). Null and error set to GetLastError()
    // when that fails.
    static std::unique_ptr<Win32FileAccess> Open(const wchar_t* path, DWORD& error);

    ~Win32FileAccess() override;
    Win32FileAccess(const Win32FileAccess&) = delete;
    Win32FileAccess& operator=(const Win32FileAccess&) = delete;

    // 64-bit positions, so that data sets and events beyond 2 GiB are reachable.
    FileStatus ReadAt(int64_t offset, void* buffer, uint32_t count, uint32_t& delivered) override;

private:
    explicit Win32FileAccess(HANDLE file);

    HANDLE handle;
};

// The Win32 error code the error box shows for a reader's file outcome: the system's own code,
// or the code Windows itself gives for the same event (ERROR_NEGATIVE_SEEK for a position
// before the start, ERROR_HANDLE_EOF, ERROR_INVALID_HANDLE).
DWORD Win32ErrorOf(const FileStatus& status);
