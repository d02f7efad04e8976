// The segment list over a real list view: the rows that parsing a real two-data-set file adds,
// with their kinds as item data, read back through the list view's own messages.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "CommonControls.h"
#include "DataFile.h"
#include "DataSet.h"
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

std::wstring CorpusPath(const char* relative) {
    std::string path = std::string(KETTERLIN_CORPUS_WINDOWS_DIR) + "\\" + relative;
    return std::wstring(path.begin(), path.end());
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
    ListViewSegmentList segments(list.hwnd);
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
        WIN_CHECK(RowShowsSecondDataSet(static_cast<int>(i), static_cast<int>(rows[i].kind)) ==
                  (i >= 3));
    }
    if (rows.size() == 6) {
        WIN_CHECK(rows[0].details == L"FCS2.0");
        WIN_CHECK(rows[3].details == L"FCS3.0");
        WIN_CHECK(rows[2].details == L"18110 events");
        WIN_CHECK(rows[5].details == L"18110 events");
    }
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
