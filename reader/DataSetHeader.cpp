// Parse's first two steps: the HEADER segment (version and six offsets, read sequentially from
// where the caller left the file) and the TEXT segment read into one zero-terminated buffer.
#include <algorithm>
#include <new>

#include "DataSet.h"
#include "HeaderFields.h"
#include "SafeMath.h"

namespace {

constexpr uint32_t kVersionLength = 10;
constexpr uint32_t kOffsetFieldLength = 8;
constexpr int kAnalysisStartField = 4;
// The TEXT segment is read in pieces of this size, so that a HEADER claiming a huge segment in
// a small file never allocates more than the file delivers.
constexpr int64_t kTextReadChunk = 64 * 1024;

}  // namespace

bool DataSet::ReadHeader(int64_t base, Bounds& bounds) {
    char version[kVersionLength + 1] = {};
    uint32_t delivered = 0;
    if (!file.Read(version, kVersionLength, delivered).Ok()) {
        return false;
    }
    if (!ScanVersion(version, versionMajor, versionMinor)) {
        return false;
    }
    for (int i = 0; i < kHeaderOffsetCount; ++i) {
        char field[kOffsetFieldLength + 1] = {};
        if (!file.Read(field, kOffsetFieldLength, delivered).Ok()) {
            return false;
        }
        int32_t value = 0;
        if (!ScanOffsetField(field, value)) {
            // Version 2 allowed the ANALYSIS fields to stay blank.
            if (versionMajor == 2 && i >= kAnalysisStartField) {
                value = 0;
            } else {
                return false;
            }
        }
        headerOffsets[i] = value;
    }
    bounds.textStart = SaturatingAdd(base, headerOffsets[0]);
    bounds.textEnd = SaturatingAdd(base, headerOffsets[1]);
    bounds.dataStart = SaturatingAdd(base, headerOffsets[2]);
    bounds.dataEnd = SaturatingAdd(base, headerOffsets[3]);
    return bounds.textStart < bounds.textEnd;
}

bool DataSet::ReadTextSegment(const Bounds& bounds, std::vector<char>& text) {
    if (!file.Seek(bounds.textStart).Ok()) {
        return false;
    }
    // Both offsets are inclusive; the HEADER's eight-digit fields keep the size below 10^8.
    const int64_t size = SaturatingAdd(SaturatingSub(bounds.textEnd, bounds.textStart), 1);
    try {
        int64_t have = 0;
        while (have < size) {
            const int64_t want = std::min(size - have, kTextReadChunk);
            text.resize(static_cast<size_t>(have + want));
            uint32_t delivered = 0;
            const FileStatus status =
                file.Read(text.data() + have, static_cast<uint32_t>(want), delivered);
            if (!status.Ok()) {
                // The end of the file after some bytes is a short segment, not a failure.
                if (status.outcome == FileOutcome::kEndOfFile && have > 0) {
                    break;
                }
                return false;
            }
            have += delivered;
            if (delivered < want) {
                break;
            }
        }
        text.resize(static_cast<size_t>(have));
        text.push_back('\0');
    } catch (const std::bad_alloc&) {
        text.clear();
        text.shrink_to_fit();
        return false;
    }
    return true;
}
