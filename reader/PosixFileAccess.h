// A file on disk opened read-only through POSIX calls, for the native tools and tests.
#pragma once

#include <memory>
#include <string>

#include "FileAccess.h"

class PosixFileAccess : public FileAccess {
public:
    // Opens path for reading; null and error set to errno when that fails.
    static std::unique_ptr<PosixFileAccess> Open(const std::string& path, ErrorCode& error);

    ~PosixFileAccess() override;
    PosixFileAccess(const PosixFileAccess&) = delete;
    PosixFileAccess& operator=(const PosixFileAccess&) = delete;

    ErrorCode Read(void* buffer, uint32_t count, uint32_t& delivered) override;
    ErrorCode Seek(int64_t offset) override;

private:
    explicit PosixFileAccess(int descriptor);

    int fd;
    int64_t position = 0;
};
