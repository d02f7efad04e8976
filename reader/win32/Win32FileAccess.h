// A data file opened with CreateFileW for reading, the program's real file seam.
#pragma once

#include <windows.h>

#include <memory>

#include "../FileAccess.h"

class Win32FileAccess : public FileAccess {
public:
    // Opens path for reading (others may read it too). Null and error set to GetLastError()
    // when that fails.
    static std::unique_ptr<Win32FileAccess> Open(const wchar_t* path, ErrorCode& error);

    ~Win32FileAccess() override;
    Win32FileAccess(const Win32FileAccess&) = delete;
    Win32FileAccess& operator=(const Win32FileAccess&) = delete;

    ErrorCode Read(void* buffer, uint32_t count, uint32_t& delivered) override;
    // 64-bit positions, so that data sets and events beyond 2 GiB are reachable.
    ErrorCode Seek(int64_t offset) override;

private:
    explicit Win32FileAccess(HANDLE file);

    HANDLE handle;
};
