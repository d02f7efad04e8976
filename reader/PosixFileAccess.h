// A file on disk opened read-only through POSIX calls, for the native tools and tests.
#pragma once

#include <memory>
#include <string>

#include "FileAccess.h"

class PosixFileAccess : public FileAccess {
public:
    // Opens path for reading; null and the status of the failure (errno) otherwise.
    static std::unique_ptr<PosixFileAccess> Open(const std::string& path, FileStatus& status);

    ~PosixFileAccess() override;
    PosixFileAccess(const PosixFileAccess&) = delete;
    PosixFileAccess& operator=(const PosixFileAccess&) = delete;

    FileStatus ReadAt(int64_t offset, void* buffer, uint32_t count, uint32_t& delivered) override;

private:
    explicit PosixFileAccess(int descriptor);

    int fd;
};
