// The two list views over real list-view controls: the rows that parsing a real two-data-set
// file adds to the segment list, with their kinds as item data; and the right list rebuilt for
// each kind of segment, down to the messages it is sent.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "CommonControls.h"
#include "DataFile.h"
#include "DataSet.h"
#include "DetailListView.h"
#include "DetailView.h"
#include "ListViewSegmentList.h"
#include "RecordingOutput.h"
#include "WinCheck.h"
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

// A real file that the repository carries a copy of.
std::wstring CorpusPath(const char* relative) {
    std::string path = std::string(KETTERLIN_REAL_FILES_WINDOWS_DIR) + "\\" + relative;
    return std::wstring(path.begin(), path.end());
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

WIN_CASE(TwoDataSetsAddSixRowsWithTheirKinds) {
    Host host;
    WIN_CHECK(host.Create(nullptr, L"KtAppTestHost", L"h", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    CommonControls::ListView list;
    WIN_CHECK(list.Create(&host, LVS_REPORT) == 0);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    SendMessageW(list.hwnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list.hwnd, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    ErrorCode error = 0;
    DataFile file;
    file.Open(Win32FileAccess::Open(CorpusPath("flowio\\coulter.lmd").c_str(), error));
    WIN_CHECK(file.IsOpen() && error == 0);
    WarningLog log;
    DataSet first(file, log);
    DataSet second(file, log);
    ListViewSegmentList segments(list);
    int64_t nextData = 0;
    WIN_CHECK(first.Parse(segments, 0, nextData));
    WIN_CHECK(nextData > 0);
    WIN_CHECK(file.Seek(nextData) == 0);
    int64_t base = nextData;
    WIN_CHECK(second.Parse(segments, base, nextData));

    std::vector<Row> rows = ReadRows(list.hwnd);
    WIN_CHECK(rows.size() == 6);
    const wchar_t* labels[] = {L"Header", L"Text", L"Data"};
    for (size_t i = 0; i < rows.size() && i < 6; ++i) {
        WIN_CHECK(rows[i].label == labels[i % 3]);
        WIN_CHECK(rows[i].kind == static_cast<LPARAM>(i % 3));
        WIN_CHECK(RowShowsSecondDataSet(static_cast<int>(i)) == (i >= 3));
    }
    if (rows.size() == 6) {
        WIN_CHECK(rows[0].details == L"FCS2.0");
        WIN_CHECK(rows[3].details == L"FCS3.0");
        WIN_CHECK(rows[2].details == L"18110 events");
        WIN_CHECK(rows[5].details == L"18110 events");
    }
    DestroyWindow(host.hwnd);
}

WIN_CASE(DetailListIsRebuiltForEachKindOfSegment) {
    Host host;
    WIN_CHECK(host.Create(nullptr, L"KtAppDetailHost", L"h", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    CommonControls::ListView list;
    WIN_CHECK(list.Create(&host, LVS_REPORT | LVS_OWNERDATA) == 0);
    // Columns left from a segment shown before.
    list.InsertColumn(0, L"old 0", 10);
    list.InsertColumn(1, L"old 1", 10);

    ErrorCode error = 0;
    DataFile file;
    file.Open(Win32FileAccess::Open(CorpusPath("flowio\\coulter.lmd").c_str(), error));
    WarningLog log;
    DataSet dataSet(file, log);
    SegmentTable ignoredRows;
    int64_t nextData = 0;
    WIN_CHECK(dataSet.Parse(ignoredRows, 0, nextData));
    const int parameterCount = static_cast<int>(dataSet.parameters.size());
    WIN_CHECK(parameterCount > 2);

    std::vector<SentMessage> sent;
    WIN_CHECK(
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
    WIN_CHECK(sent == expected);
    std::vector<ShownColumn> columns = ReadColumns(list.hwnd);
    WIN_CHECK(static_cast<int>(columns.size()) == parameterCount);
    for (size_t i = 0; i < columns.size() && i < dataSet.parameters.size(); ++i) {
        WIN_CHECK(columns[i].heading == dataSet.parameters[i].name);
        WIN_CHECK(columns[i].width == 100);
        WIN_CHECK(columns[i].subItem == static_cast<int>(i));
        WIN_CHECK(columns[i].format == LVCFMT_LEFT);
    }
    WIN_CHECK(SendMessageW(list.hwnd, LVM_GETITEMCOUNT, 0, 0) == dataSet.eventCount);

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
        WIN_CHECK(!sent.empty() && sent.back() == (SentMessage{LVM_SETITEMCOUNT,
                                                               static_cast<WPARAM>(segment.rows)}));
        columns = ReadColumns(list.hwnd);
        WIN_CHECK(columns.size() == segment.columns.size());
        for (size_t i = 0; i < columns.size() && i < segment.columns.size(); ++i) {
            WIN_CHECK(columns[i].heading == segment.columns[i].first);
            WIN_CHECK(columns[i].width == segment.columns[i].second);
            WIN_CHECK(columns[i].subItem == static_cast<int>(i));
        }
        WIN_CHECK(SendMessageW(list.hwnd, LVM_GETITEMCOUNT, 0, 0) == segment.rows);
    }
    RemoveWindowSubclass(list.hwnd, RecordingProcedure, 1);
    DestroyWindow(host.hwnd);
}

WIN_CASE(MissingFileReportsTheSystemsCode) {
    ErrorCode error = 0;
    auto access = Win32FileAccess::Open(L"Z:\\no\\such\\ketterlin-file.fcs", error);
    WIN_CHECK(!access);
    WIN_CHECK(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND);
    error = 0;
    access = Win32FileAccess::Open(L"", error);
    WIN_CHECK(!access && error != 0);
}

int main() {
    moduleInstance = GetModuleHandleW(nullptr);
    return RunWinCases();
}
