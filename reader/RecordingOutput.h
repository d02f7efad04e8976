// Reader outputs that keep what they receive, for tests, tools and fuzzers: the warnings and
// diagnostic lines in order, and the segment rows as a table.
#pragma once

#include <string>
#include <vector>

#include "ReaderOutput.h"

class WarningLog : public WarningSink {
public:
    void Warn(const std::wstring& text) override { warnings.push_back(text); }
    void Diagnostic(const std::string& line) override { diagnostics.push_back(line); }

    std::vector<std::wstring> warnings;
    std::vector<std::string> diagnostics;
};

class SegmentTable : public SegmentList {
public:
    struct Row {
        SegmentKind kind = kSegmentHeader;
        std::wstring label;
        std::wstring details;
    };

    int RowCount() override { return static_cast<int>(rows.size()); }
    void InsertRow(int index, SegmentKind kind, const wchar_t* label) override {
        if (index < 0 || static_cast<size_t>(index) > rows.size()) {
            index = static_cast<int>(rows.size());
        }
        rows.insert(rows.begin() + index, Row{kind, label, L""});
    }
    void SetRowDetails(int index, const wchar_t* details) override {
        if (index >= 0 && static_cast<size_t>(index) < rows.size()) {
            rows[static_cast<size_t>(index)].details = details;
        }
    }

    std::vector<Row> rows;
};
