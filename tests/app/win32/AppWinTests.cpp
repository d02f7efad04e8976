// The two list views over real list-view controls: the rows that parsing a real two-data-set
// file adds to the segment list, with their kinds as item data; and the right list rebuilt for
// each kind of segment, down to the messages it is sent.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CommonControls.h"
#include "CorpusFiles.h"
#include "DataFile.h"
#include "DataSet.h"
#include "DetailListView.h"
#include "DetailView.h"
#include "ListViewSegmentList.h"
#include "RecordingOutput.h"
#include "Window.h"
#include "win32/Win32FileAccess.h"

namespace {

struct Host final : Window {};

struct Row {
    std::wstring label;
    std::wstring details;
    LPARAM kind;
};

std::vector<Row> ReadRows(HWND list) {
    std::vector<Row> rows;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t label[64] = {};
        wchar_t details[64] = {};
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = label;
        item.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMW sub = {};
        sub.iSubItem = 1;
        sub.pszText = details;
        sub.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&sub));
        rows.push_back({label, details, item.lParam});
    }
    return rows;
}

// The column-and-count messages a list view receives, with their wParam (for LVM_SETITEMCOUNT
// the lParam flags are checked to be 0 and the count is recorded).
struct SentMessage {
    UINT message;
    WPARAM wParam;
    bool operator==(const SentMessage& other) const {
        return message == other.message && wParam == other.wParam;
    }
};

LRESULT CALLBACK
RecordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR log) {
    auto* sent = reinterpret_cast<std::vector<SentMessage>*>(log);
    switch (message) {
        case LVM_GETCOLUMNW:
        case LVM_DELETECOLUMN:
        case LVM_GETHEADER:
        case LVM_INSERTCOLUMNW:
            sent->push_back({message, wParam});
            break;
        case LVM_SETITEMCOUNT:
            sent->push_back({message, lParam == 0 ? wParam : static_cast<WPARAM>(-1)});
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

struct ShownColumn {
    std::wstring heading;
    int width;
    int subItem;
    int format;
};

std::vector<ShownColumn> ReadColumns(HWND list) {
    std::vector<ShownColumn> columns;
    for (int i = 0;; ++i) {
        wchar_t heading[128] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = heading;
        column.cchTextMax = 128;
        if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) {
            return columns;
        }
        columns.push_back({heading, column.cx, column.iSubItem, column.fmt & LVCFMT_JUSTIFYMASK});
    }
}

}  // namespace

TEST(ListsOfARealFile, TwoDataSetsAddSixRowsWithTheirKinds) {
    Host host;
    ASSERT_EQ(host.Create(nullptr, L"KtAppTestHost", L"h", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    CommonControls::ListView list;
    ASSERT_EQ(list.Create(&host, LVS_REPORT), 0u);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    SendMessageW(list.hwnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list.hwnd, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    DWORD error = ERROR_SUCCESS;
    DataFile file;
    file.Open(Win32FileAccess::Open(RealFilePath("flowio\\coulter.lmd").c_str(), error));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(error, 0u);
    WarningLog log;
    DataSet first(file, log);
    DataSet second(file, log);
    ListViewSegmentList segments(list);
    int64_t nextData = 0;
    ASSERT_TRUE(first.Parse(segments, 0, nextData));
    ASSERT_GT(nextData, 0);
    ASSERT_TRUE(file.Seek(nextData).Ok());
    int64_t base = nextData;
    ASSERT_TRUE(second.Parse(segments, base, nextData));

    std::vector<Row> rows = ReadRows(list.hwnd);
    ASSERT_EQ(rows.size(), 6u);
    const wchar_t* labels[] = {L"Header", L"Text", L"Data"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label, labels[i % 3]);
        EXPECT_EQ(rows[i].kind, static_cast<LPARAM>(i % 3));
        EXPECT_EQ(RowShowsSecondDataSet(static_cast<int>(i)), i >= 3);
    }
    EXPECT_EQ(rows[0].details, L"FCS2.0");
    EXPECT_EQ(rows[3].details, L"FCS3.0");
    EXPECT_EQ(rows[2].details, L"18110 events");
    EXPECT_EQ(rows[5].details, L"18110 events");
    DestroyWindow(host.hwnd);
}

TEST(ListsOfARealFile, DetailListIsRebuiltForEachKindOfSegment) {
    Host host;
    ASSERT_EQ(host.Create(nullptr, L"KtAppDetailHost", L"h", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    CommonControls::ListView list;
    ASSERT_EQ(list.Create(&host, LVS_REPORT | LVS_OWNERDATA), 0u);
    // Columns left from a segment shown before.
    list.InsertColumn(0, L"old 0", 10);
    list.InsertColumn(1, L"old 1", 10);

    DWORD error = ERROR_SUCCESS;
    DataFile file;
    file.Open(Win32FileAccess::Open(RealFilePath("flowio\\coulter.lmd").c_str(), error));
    WarningLog log;
    DataSet dataSet(file, log);
    SegmentTable ignoredRows;
    int64_t nextData = 0;
    ASSERT_TRUE(dataSet.Parse(ignoredRows, 0, nextData));
    const int parameterCount = static_cast<int>(dataSet.parameters.size());
    ASSERT_GT(parameterCount, 2);

    std::vector<SentMessage> sent;
    ASSERT_TRUE(
        SetWindowSubclass(list.hwnd, RecordingProcedure, 1, reinterpret_cast<DWORD_PTR>(&sent)));

    // Data: the old columns go one by one from the front, then one column per parameter,
    // appended at the header control's count, then the event count as the row count.
    RebuildDetailList(list, kSegmentData, dataSet);
    std::vector<SentMessage> expected = {
        {LVM_GETCOLUMNW, 0},   {LVM_DELETECOLUMN, 0}, {LVM_GETCOLUMNW, 0},
        {LVM_DELETECOLUMN, 0}, {LVM_GETCOLUMNW, 0},
    };
    for (int i = 0; i < parameterCount; ++i) {
        expected.push_back({LVM_GETHEADER, 0});
        expected.push_back({LVM_INSERTCOLUMNW, static_cast<WPARAM>(i)});
    }
    expected.push_back({LVM_SETITEMCOUNT, static_cast<WPARAM>(dataSet.eventCount)});
    EXPECT_EQ(sent, expected);
    std::vector<ShownColumn> columns = ReadColumns(list.hwnd);
    EXPECT_EQ(static_cast<int>(columns.size()), parameterCount);
    for (size_t i = 0; i < columns.size() && i < dataSet.parameters.size(); ++i) {
        EXPECT_EQ(columns[i].heading, dataSet.parameters[i].name);
        EXPECT_EQ(columns[i].width, 100);
        EXPECT_EQ(columns[i].subItem, static_cast<int>(i));
        EXPECT_EQ(columns[i].format, LVCFMT_LEFT);
    }
    EXPECT_EQ(SendMessageW(list.hwnd, LVM_GETITEMCOUNT, 0, 0), dataSet.eventCount);

    // Header and Text: two fixed columns each, over six rows and one row per keyword.
    const struct {
        int kind;
        std::vector<std::pair<std::wstring, int>> columns;
        int rows;
    } fixed[] = {
        {kSegmentHeader, {{L"Field", 150}, {L"Offset", 150}}, 6},
        {kSegmentText,
         {{L"Keyword", 150}, {L"Value", 300}},
         static_cast<int>(dataSet.keywords.size())},
        {kSegmentHeader, {{L"Field", 150}, {L"Offset", 150}}, 6},
    };
    for (const auto& segment : fixed) {
        sent.clear();
        RebuildDetailList(list, segment.kind, dataSet);
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), (SentMessage{LVM_SETITEMCOUNT, static_cast<WPARAM>(segment.rows)}));
        columns = ReadColumns(list.hwnd);
        EXPECT_EQ(columns.size(), segment.columns.size());
        for (size_t i = 0; i < columns.size() && i < segment.columns.size(); ++i) {
            EXPECT_EQ(columns[i].heading, segment.columns[i].first);
            EXPECT_EQ(columns[i].width, segment.columns[i].second);
            EXPECT_EQ(columns[i].subItem, static_cast<int>(i));
        }
        EXPECT_EQ(SendMessageW(list.hwnd, LVM_GETITEMCOUNT, 0, 0), segment.rows);
    }
    RemoveWindowSubclass(list.hwnd, RecordingProcedure, 1);
    DestroyWindow(host.hwnd);
}

TEST(Win32FileAccess, MissingFileReportsTheSystemsCode) {
    DWORD error = ERROR_SUCCESS;
    auto access = Win32FileAccess::Open(L"Z:\\no\\such\\ketterlin-file.fcs", error);
    EXPECT_FALSE(access);
    EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
    error = 0;
    access = Win32FileAccess::Open(L"", error);
    EXPECT_FALSE(access);
    EXPECT_NE(error, 0u);
}
