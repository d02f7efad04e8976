// Read-only POSIX file access with 64-bit positions: every read is a pread at the position the
// last seek set, so files beyond 2 GiB read like any other.
#include "PosixFileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::unique_ptr<PosixFileAccess> PosixFileAccess::Open(const std::string& path,
                                                       ErrorCode& error) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = static_cast<ErrorCode>(errno);
        return nullptr;
    }
    error = kErrorSuccess;
    return std::unique_ptr<PosixFileAccess>(new PosixFileAccess(descriptor));
}

PosixFileAccess::PosixFileAccess(int descriptor) : fd(descriptor) {}

PosixFileAccess::~PosixFileAccess() {
    ::close(fd);
}

ErrorCode PosixFileAccess::Read(void* buffer, uint32_t count, uint32_t& delivered) {
    delivered = 0;
    for (;;) {
        const ssize_t result = ::pread(fd, buffer, count, static_cast<off_t>(position));
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            return static_cast<ErrorCode>(errno);
        }
        delivered = static_cast<uint32_t>(result);
        position += result;
        return kErrorSuccess;
    }
}

ErrorCode PosixFileAccess::Seek(int64_t offset) {
    if (offset < 0) {
        return kErrorNegativeSeek;
    }
    position = offset;
    return kErrorSuccess;
}
