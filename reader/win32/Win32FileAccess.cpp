// The file seam over kernel32: CreateFileW, ReadFile and SetFilePointerEx. Errors are the
// failing call's GetLastError() value.
#include "Win32FileAccess.h"

std::unique_ptr<Win32FileAccess> Win32FileAccess::Open(const wchar_t* path, ErrorCode& error) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = kErrorSuccess;
    return std::unique_ptr<Win32FileAccess>(new Win32FileAccess(file));
}

Win32FileAccess::Win32FileAccess(HANDLE file) : handle(file) {}

Win32FileAccess::~Win32FileAccess() {
    CloseHandle(handle);
}

ErrorCode Win32FileAccess::Read(void* buffer, uint32_t count, uint32_t& delivered) {
    DWORD read = 0;
    if (!ReadFile(handle, buffer, count, &read, NULL)) {
        delivered = 0;
        return GetLastError();
    }
    delivered = read;
    return kErrorSuccess;
}

ErrorCode Win32FileAccess::Seek(int64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(handle, distance, NULL, FILE_BEGIN)) {
        return GetLastError();
    }
    return kErrorSuccess;
}
