// Where the reader's results leave it: warnings for the user, a developer diagnostic line,
// and the summary rows of the segment list. The program sends them to message boxes, the
// debugger output and a list view; tests and tools collect them.
#pragma once

#include <string>

class WarningSink {
public:
    virtual ~WarningSink() = default;
    // One warning about a data set's content; reading goes on once it returns.
    virtual void Warn(const std::wstring& text) = 0;
    // A line for developers only (never shown to the user).
    virtual void Diagnostic(const std::string& line) = 0;
};

// The kind of a segment-list row, stored as the row's item data.
enum SegmentKind : int { kSegmentHeader = 0, kSegmentText = 1, kSegmentData = 2 };

class SegmentList {
public:
    virtual ~SegmentList() = default;
    virtual int RowCount() = 0;
    virtual void InsertRow(int index, SegmentKind kind, const wchar_t* label) = 0;
    virtual void SetRowDetails(int index, const wchar_t* details) = 0;
};
