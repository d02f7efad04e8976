// Summary rows of a parsed data set. The version is written from the two numbers, so a HEADER
// version "FCS3.01" reads FCS3.1.
#include "SegmentRows.h"

std::wstring FormatVersionDetails(const DataSet& dataSet) {
    return L"FCS" + std::to_wstring(dataSet.versionMajor) + L"." +
           std::to_wstring(dataSet.versionMinor);
}

std::wstring FormatKeywordDetails(const DataSet& dataSet) {
    return std::to_wstring(dataSet.keywords.size()) + L" keywords";
}

std::wstring FormatEventDetails(const DataSet& dataSet) {
    return std::to_wstring(dataSet.eventCount) + L" events";
}

void AddSegmentRows(const DataSet& dataSet, SegmentList& segments) {
    const int first = segments.RowCount();
    segments.InsertRow(first, kSegmentHeader, L"Header");
    segments.SetRowDetails(first, FormatVersionDetails(dataSet).c_str());
    segments.InsertRow(first + 1, kSegmentText, L"Text");
    segments.SetRowDetails(first + 1, FormatKeywordDetails(dataSet).c_str());
    segments.InsertRow(first + 2, kSegmentData, L"Data");
    segments.SetRowDetails(first + 2, FormatEventDetails(dataSet).c_str());
}
