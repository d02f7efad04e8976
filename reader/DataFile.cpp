// The shared open file of the viewer: turns the file seam's raw results into the reader's
// result codes (a read that delivers nothing for a non-zero count is the end of the file).
#include "DataFile.h"

#include <utility>

void DataFile::Open(std::unique_ptr<FileAccess> access) {
    handle = std::move(access);
    atEnd = false;
}

void DataFile::Close() {
    handle.reset();
    atEnd = false;
}

ErrorCode DataFile::Read(void* buffer, uint32_t count, uint32_t& delivered) {
    delivered = 0;
    atEnd = false;
    if (!handle) {
        return kErrorInvalidHandle;
    }
    const ErrorCode result = handle->Read(buffer, count, delivered);
    if (result != kErrorSuccess) {
        delivered = 0;
        return result;
    }
    if (delivered > count) {
        delivered = count;  // never trust a seam to stay inside the buffer
    }
    if (delivered == 0 && count != 0) {
        atEnd = true;
        return kErrorHandleEof;
    }
    return kErrorSuccess;
}

ErrorCode DataFile::Seek(int64_t offset) {
    if (!handle) {
        return kErrorInvalidHandle;
    }
    if (offset < 0) {
        return kErrorNegativeSeek;
    }
    return handle->Seek(offset);
}
