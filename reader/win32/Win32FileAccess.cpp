// The file seam over kernel32: CreateFileW and ReadFile at an offset given in an OVERLAPPED
// structure, so that no read depends on a shared file pointer. Errors are the failing call's
// GetLastError() value.
#include "Win32FileAccess.h"

#include <string>

std::unique_ptr<Win32FileAccess> Win32FileAccess::Open(const wchar_t* path, DWORD& error) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::unique_ptr<Win32FileAccess>(new Win32FileAccess(file));
}

Win32FileAccess::Win32FileAccess(HANDLE file) : handle(file) {}

Win32FileAccess::~Win32FileAccess() {
    CloseHandle(handle);
}

FileStatus Win32FileAccess::ReadAt(int64_t offset,
                                   void* buffer,
                                   uint32_t count,
                                   uint32_t& delivered) {
    delivered = 0;
    if (offset < 0) {
        return {FileOutcome::kBeforeStart};
    }
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    DWORD read = 0;
    if (!ReadFile(handle, buffer, count, &read, &at)) {
        const DWORD error = GetLastError();
        // A read at an offset beyond the end reports the end instead of delivering nothing.
        if (error == ERROR_HANDLE_EOF) {
            return {};
        }
        return FileStatus::System(error);
    }
    delivered = read;
    return {};
}

std::string SystemErrorText(uint32_t systemCode) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, systemCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8;
    if (length != 0 && text != nullptr) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                              0, nullptr, nullptr);
        if (bytes > 0) {
            utf8.resize(static_cast<size_t>(bytes));
            WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], bytes,
                                nullptr, nullptr);
        }
        while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r')) {
            utf8.pop_back();
        }
    }
    LocalFree(text);
    if (utf8.empty()) {
        utf8 = "error " + std::to_string(systemCode);
    }
    return utf8;
}

DWORD Win32ErrorOf(const FileStatus& status) {
    switch (status.outcome) {
        case FileOutcome::kOk:
            return ERROR_SUCCESS;
        case FileOutcome::kEndOfFile:
            return ERROR_HANDLE_EOF;
        case FileOutcome::kNoFile:
            return ERROR_INVALID_HANDLE;
        case FileOutcome::kBeforeStart:
            return ERROR_NEGATIVE_SEEK;
        case FileOutcome::kSystemError:
            return status.systemCode;
    }
    return ERROR_INVALID_FUNCTION;
}
