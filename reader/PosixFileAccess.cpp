// Read-only POSIX file access with 64-bit positions: every read is a pread, so files beyond
// 2 GiB read like any other and readers on several threads never move each other's position.
#include "PosixFileAccess.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

std::unique_ptr<PosixFileAccess> PosixFileAccess::Open(const std::string& path,
                                                       FileStatus& status) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        status = FileStatus::System(static_cast<uint32_t>(errno));
        return nullptr;
    }
    status = {};
    return std::unique_ptr<PosixFileAccess>(new PosixFileAccess(descriptor));
}

PosixFileAccess::PosixFileAccess(int descriptor) : fd(descriptor) {}

PosixFileAccess::~PosixFileAccess() {
    ::close(fd);
}

FileStatus PosixFileAccess::ReadAt(int64_t offset,
                                   void* buffer,
                                   uint32_t count,
                                   uint32_t& delivered) {
    delivered = 0;
    if (offset < 0) {
        return {FileOutcome::kBeforeStart};
    }
    for (;;) {
        const ssize_t result = ::pread(fd, buffer, count, static_cast<off_t>(offset));
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileStatus::System(static_cast<uint32_t>(errno));
        }
        delivered = static_cast<uint32_t>(result);
        return {};
    }
}

std::string SystemErrorText(uint32_t systemCode) {
    return std::strerror(static_cast<int>(systemCode));
}
