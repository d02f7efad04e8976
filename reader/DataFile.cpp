// The shared open file of the viewer: turns the file seam's raw results into the reader's
// outcomes (a read that delivers nothing for a non-zero count is the end of the file) and keeps
// the cursor that the HEADER's sequential reads use.
#include "DataFile.h"

#include <utility>

void DataFile::Open(std::unique_ptr<FileAccess> access) {
    handle = std::move(access);
    atEnd = false;
    cursor = 0;
}

void DataFile::Close() {
    handle.reset();
    atEnd = false;
    cursor = 0;
}

FileStatus DataFile::Read(void* buffer, uint32_t count, uint32_t& delivered) {
    const FileStatus status = ReadAt(cursor, buffer, count, delivered);
    atEnd = status.outcome == FileOutcome::kEndOfFile;
    cursor += delivered;
    return status;
}

FileStatus DataFile::Seek(int64_t offset) {
    if (!handle) {
        return {FileOutcome::kNoFile};
    }
    if (offset < 0) {
        return {FileOutcome::kBeforeStart};
    }
    cursor = offset;
    return {};
}

FileStatus DataFile::ReadAt(int64_t offset,
                            void* buffer,
                            uint32_t count,
                            uint32_t& delivered) const {
    delivered = 0;
    if (!handle) {
        return {FileOutcome::kNoFile};
    }
    if (offset < 0) {
        return {FileOutcome::kBeforeStart};
    }
    const FileStatus status = handle->ReadAt(offset, buffer, count, delivered);
    if (!status.Ok()) {
        delivered = 0;
        return status;
    }
    if (delivered > count) {
        delivered = count;  // never trust a seam to stay inside the buffer
    }
    if (delivered == 0 && count != 0) {
        return {FileOutcome::kEndOfFile};
    }
    return {};
}
