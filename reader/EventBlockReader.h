// The one way events are read in bulk: whole blocks of events by their position in the file,
// for the copy of selected rows, the export and the counting pass alike. It leaves the viewer's
// cache alone and loops on short reads, so a block holds every byte the file has for it.
#pragma once

#include <cstdint>

#include "DataSet.h"

struct EventBlock {
    uint32_t bytes = 0;       // bytes delivered from the block's first event on
    int64_t events = 0;       // complete events among them
    bool fileEnded = false;   // the file ended before the block did
    FileStatus error;         // a failed read; bytes holds what came first
    int64_t errorOffset = 0;  // where the failed read was to start
};

class EventBlockReader {
public:
    explicit EventBlockReader(const DataSet& dataSet);

    // The most bytes one block may ask for.
    static constexpr int64_t kMaxBlockBytes = 0x7FFFFFFF;

    // Reads count events from event first on into buffer (count * eventSize bytes, at most
    // kMaxBlockBytes). The bytes the file did not deliver are left as they were. Every read is
    // at an offset, so counting lanes on other threads and the viewer's own reads of the same
    // file never move each other's position.
    EventBlock Read(int64_t first, int64_t count, uint8_t* buffer) const;

private:
    const DataSet& dataSet;
};
