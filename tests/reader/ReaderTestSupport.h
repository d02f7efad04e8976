// Shared pieces of the reader's tests: a data file in memory with both data sets of the
// viewer, the recorded warnings and rows, and shorthands for wide texts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DataSet.h"
#include "DataSetChain.h"
#include "MemoryFileAccess.h"
#include "RecordingOutput.h"

struct Reading {
    WarningLog log;
    SegmentTable segments;
    DataFile file;
    MemoryFileAccess* memory = nullptr;  // owned by file
    DataSet first{file, log};
    DataSet second{file, log};
    bool parsed = false;
    int64_t nextData = 0;

    explicit Reading(std::vector<uint8_t> bytes) {
        auto access = std::make_unique<MemoryFileAccess>(std::move(bytes));
        memory = access.get();
        file.Open(std::move(access));
    }

    // Parses the first data set from base, with the file placed there as the viewer does.
    bool ParseAt(int64_t base) {
        file.Seek(base);
        parsed = first.Parse(segments, base, nextData);
        return parsed;
    }

    std::wstring Cell(DataSet& dataSet, int64_t event, int32_t parameter) {
        dataSet.FormatValue(event, parameter);
        return displayText;
    }
};

inline std::unique_ptr<Reading> ParseBytes(std::vector<uint8_t> bytes, int64_t base = 0) {
    auto reading = std::make_unique<Reading>(std::move(bytes));
    reading->ParseAt(base);
    return reading;
}

inline std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}
