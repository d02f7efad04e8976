// The main window on a real window: its lists, styles, columns and layout; opening files from
// the command line with the boxes that follow (each box recorded and closed as it opens); the
// right list following the segment list; the display and cache requests; the title; File > Open
// cancelled; Exit and closing while a file is read; and a failed creation.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CmdLine.h"
#include "ComApartment.h"
#include "CorpusFiles.h"
#include "FcsBuilder.h"
#include "Handles.h"
#include "MainWindow.h"
#include "MessageBoxCatcher.h"
#include "Window.h"
#include "resource.h"

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::vector<CaughtBox>& SeenBoxes() {
    return MessageBoxCatcher::Boxes();
}

// Records and closes every message box of this thread while it lives; afterwards removes the
// main window's class (so the next case can register it again) and the quit message that the
// window's destruction posted.
class MainWindowCase {
public:
    MainWindowCase() = default;
    ~MainWindowCase() {
        MessageBoxCatcher::OnBox() = nullptr;
        UnregisterClassW(L"Ketterlin", moduleInstance);
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    MainWindowCase(const MainWindowCase&) = delete;
    MainWindowCase& operator=(const MainWindowCase&) = delete;

private:
    MessageBoxCatcher boxes;
};

CmdLine Arguments(std::vector<std::wstring> args) {
    CmdLine cmdLine;
    cmdLine.args = std::move(args);
    return cmdLine;
}

struct Column {
    std::wstring heading;
    int width;
};

std::vector<Column> Columns(HWND list) {
    std::vector<Column> columns;
    for (int i = 0;; ++i) {
        wchar_t heading[128] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.pszText = heading;
        column.cchTextMax = 128;
        if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) {
            return columns;
        }
        columns.push_back({heading, column.cx});
    }
}

int Rows(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

RECT RectInParent(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void SelectSegmentRow(MainWindow& window, int row) {
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window.segmentList.hwnd, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

const wchar_t* CellText(MainWindow& window, int row, int column) {
    NMLVDISPINFOW request = {};
    request.hdr.hwndFrom = window.detailList.hwnd;
    request.hdr.code = LVN_GETDISPINFOW;
    request.item.mask = LVIF_TEXT;
    request.item.iItem = row;
    request.item.iSubItem = column;
    SendMessageW(window.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    return request.item.pszText;
}

// A folder of this process's own in the temporary folder, so that runs of the same case side by
// side never share a file; removed at exit once the cases have deleted their files.
class OwnTemporaryFolder {
public:
    OwnTemporaryFolder() {
        wchar_t temporary[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temporary);
        path = std::wstring(temporary) + L"ketterlin-tests-" +
               std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~OwnTemporaryFolder() { RemoveDirectoryW(path.c_str()); }
    OwnTemporaryFolder(const OwnTemporaryFolder&) = delete;
    OwnTemporaryFolder& operator=(const OwnTemporaryFolder&) = delete;

    std::wstring path;
};

const std::wstring& TemporaryFolder() {
    static OwnTemporaryFolder folder;
    return folder.path;
}

// Writes a file of the test's own into the temporary folder; returns its path.
std::wstring WriteTempFile(const wchar_t* name, const std::vector<uint8_t>& bytes) {
    const std::wstring path = TemporaryFolder() + name;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    return path;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The main window over a file that only the shared corpus holds.
class MainWindowOnTheCorpus : public CorpusTest {};

}  // namespace

TEST(MainWindow, CreatesItsListsAndLaysThemOut) {
    MainWindowCase scope;
    MainWindow window;
    ASSERT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL, CmdLine()), 0u);
    EXPECT_TRUE(window.thread);  // the update check was started
    EXPECT_EQ(WindowText(window.hwnd), L"Ketterlin");
    EXPECT_NE(window.menu.hmenu, nullptr);
    EXPECT_EQ(GetMenu(window.hwnd), window.menu.hmenu);
    EXPECT_TRUE(SeenBoxes().empty());

    const LONG shape = WS_CHILD | WS_BORDER | LVS_TYPEMASK | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
    EXPECT_EQ(GetWindowLongW(window.segmentList.hwnd, GWL_STYLE) & shape,
              WS_CHILD | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS);
    EXPECT_EQ(GetWindowLongW(window.detailList.hwnd, GWL_STYLE) & shape,
              WS_CHILD | LVS_REPORT | LVS_OWNERDATA);
    for (HWND list : {window.segmentList.hwnd, window.detailList.hwnd}) {
        EXPECT_NE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
    }
    std::vector<Column> columns = Columns(window.segmentList.hwnd);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].heading, L"Segment");
    EXPECT_EQ(columns[0].width, 75);
    EXPECT_EQ(columns[1].heading, L"Details");
    EXPECT_EQ(columns[1].width, 100);
    EXPECT_TRUE(Columns(window.detailList.hwnd).empty());

    // 220 pixels on the left, the rest on the right, both over the full height.
    SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    RECT left = RectInParent(window.segmentList.hwnd);
    RECT right = RectInParent(window.detailList.hwnd);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.top, 0);
    EXPECT_EQ(left.right, 220);
    EXPECT_EQ(left.bottom, 200);
    EXPECT_EQ(right.left, 220);
    EXPECT_EQ(right.top, 0);
    EXPECT_EQ(right.right, 300);
    EXPECT_EQ(right.bottom, 200);

    // Narrower than the left list: it keeps its width, the right one has no area.
    SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 50));
    left = RectInParent(window.segmentList.hwnd);
    right = RectInParent(window.detailList.hwnd);
    EXPECT_EQ(left.right - left.left, 220);
    EXPECT_EQ(left.bottom - left.top, 50);
    EXPECT_EQ(right.left, 220);
    EXPECT_LE(right.right - right.left, 0);

    // Exit destroys the window, which posts the quit message with code 0.
    SendMessageW(window.hwnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_FALSE(IsWindow(window.hwnd));
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST(MainWindow, OpensTheFirstArgumentAndFollowsTheSegmentList) {
    MainWindowCase scope;
    MainWindow window;
    ASSERT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL,
                                   Arguments({RealFilePath("flowio\\coulter.lmd"), L"ignored"})),
              0u);
    for (const CaughtBox& box : SeenBoxes()) {
        EXPECT_EQ(box.caption, L"Ketterlin");  // warnings only
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(WindowText(window.hwnd), L"coulter.lmd - Ketterlin");
    ASSERT_EQ(Rows(window.segmentList.hwnd), 6);
    EXPECT_EQ(
        SendMessageW(window.segmentList.hwnd, LVM_GETITEMSTATE, 0, LVIS_SELECTED | LVIS_FOCUSED),
        LVIS_SELECTED | LVIS_FOCUSED);

    // Row 0 is shown: the first data set's HEADER offsets.
    std::vector<Column> columns = Columns(window.detailList.hwnd);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].heading, L"Field");
    EXPECT_EQ(columns[1].heading, L"Offset");
    EXPECT_EQ(Rows(window.detailList.hwnd), 6);
    EXPECT_EQ(window.selectedKind, 0);
    EXPECT_FALSE(window.showSecondDataSet);
    EXPECT_EQ(std::wstring(CellText(window, 4, 0)), L"Analysis Start");
    EXPECT_EQ(std::wstring(CellText(window, 0, 1)),
              std::to_wstring(window.dataSets[0].headerOffsets[0]));

    // Row 5: the second data set's events under its own parameter names.
    const DataSet& second = window.dataSets[1];
    SelectSegmentRow(window, 5);
    EXPECT_EQ(window.selectedKind, 2);
    EXPECT_TRUE(window.showSecondDataSet);
    columns = Columns(window.detailList.hwnd);
    ASSERT_EQ(columns.size(), second.parameters.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].heading, second.parameters[i].name);
        EXPECT_EQ(columns[i].width, 100);
    }
    EXPECT_EQ(Rows(window.detailList.hwnd), second.eventCount);

    // A cache hint loads the announced events of the shown data set, cut to those that exist.
    NMLVCACHEHINT hint = {};
    hint.hdr.hwndFrom = window.detailList.hwnd;
    hint.hdr.code = LVN_ODCACHEHINT;
    hint.iFrom = second.eventCount - 3;
    hint.iTo = second.eventCount + 50;
    SendMessageW(window.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hint));
    EXPECT_EQ(second.cacheFirst, second.eventCount - 3);
    EXPECT_EQ(second.cacheLast, second.eventCount - 1);
    EXPECT_EQ(CellText(window, 0, 0), displayText);
    EXPECT_NE(displayText[0], L'\0');

    // Row 4: the second data set's keywords, pointed at in the model.
    SelectSegmentRow(window, 4);
    EXPECT_EQ(window.selectedKind, 1);
    EXPECT_TRUE(window.showSecondDataSet);
    EXPECT_EQ(Rows(window.detailList.hwnd), static_cast<int>(second.keywords.size()));
    ASSERT_FALSE(second.keywords.empty());
    EXPECT_EQ(CellText(window, 0, 1), second.keywords[0].value.c_str());

    // A change that names no row leaves the right list as it is.
    NMLISTVIEW none = {};
    none.hdr.hwndFrom = window.segmentList.hwnd;
    none.hdr.code = LVN_ITEMCHANGED;
    none.iItem = -1;
    SendMessageW(window.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_EQ(window.selectedKind, 1);
    EXPECT_TRUE(window.showSecondDataSet);
    EXPECT_EQ(Columns(window.detailList.hwnd).size(), 2u);
    DestroyWindow(window.hwnd);
}

namespace {

// Opens path from the command line; the one box that follows ends with textEnd.
void ExpectOneBoxAndAnEmptyWindow(const std::wstring& path,
                                  const wchar_t* caption,
                                  const wchar_t* textEnd,
                                  bool ownedByMainWindow) {
    MainWindowCase scope;
    MainWindow window;
    ASSERT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL, Arguments({path})), 0u);
    ASSERT_EQ(SeenBoxes().size(), 1u);
    const CaughtBox box = SeenBoxes()[0];
    EXPECT_EQ(box.caption, caption);
    EXPECT_TRUE(EndsWith(box.text, textEnd)) << box.text;
    EXPECT_EQ(box.owner, ownedByMainWindow ? window.hwnd : nullptr);
    EXPECT_EQ(WindowText(window.hwnd), L"Ketterlin");
    EXPECT_EQ(Rows(window.segmentList.hwnd), 0);
    DestroyWindow(window.hwnd);
}

}  // namespace

TEST(MainWindow, ReportsFilesItCannotRead) {
    const struct {
        std::wstring path;
        const wchar_t* caption;
        const wchar_t* textEnd;  // the end of the box's text
        bool ownedByMainWindow;
    } cases[] = {
        {RealFilePath("fcsparser\\corrupted.fcs"), L"Ketterlin", L"Unknown format", true},
        {L"Z:\\no\\such\\folder\\run.fcs", L"Error", L" (3)", false},
        {L"", L"Error", L")", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path \"" << c.path << "\"");
        ExpectOneBoxAndAnEmptyWindow(c.path, c.caption, c.textEnd, c.ownedByMainWindow);
    }
}

TEST(MainWindow, FailedCreationLeavesNoWindowBehindItsObject) {
    // A module without menu 101: the window is made, attaching its menu fails.
    HINSTANCE program = moduleInstance;
    moduleInstance = GetModuleHandleW(L"kernel32.dll");
    HWND made = nullptr;
    {
        MainWindowCase scope;
        MainWindow window;
        EXPECT_NE(window.CreateAndShow(L"", SW_SHOWNORMAL, CmdLine()), 0u);
        made = window.hwnd;
        EXPECT_NE(made, nullptr);
        EXPECT_TRUE(IsWindow(made));
    }
    EXPECT_FALSE(IsWindow(made));
    moduleInstance = program;
}

TEST_F(MainWindowOnTheCorpus, ClosingWhileAFileIsReadWaitsForTheReading) {
    MainWindowCase scope;
    MainWindow window;
    // At each warning box: Open is greyed and does nothing, and a close request is put off.
    int boxes = 0;
    bool openGreyed = true;
    bool stayedOpen = true;
    MessageBoxCatcher::OnBox() = [&](const CaughtBox&) {
        ++boxes;
        openGreyed = openGreyed &&
                     (GetMenuState(window.menu.hmenu, IDM_OPEN, MF_BYCOMMAND) & MF_GRAYED) != 0;
        SendMessageW(window.hwnd, WM_COMMAND, MAKEWPARAM(IDM_OPEN, 0), 0);
        SendMessageW(window.hwnd, WM_CLOSE, 0, 0);
        SendMessageW(window.hwnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
        stayedOpen = stayedOpen && IsWindow(window.hwnd);
    };
    // Reading this file shows warnings.
    EXPECT_EQ(window.CreateAndShow(
                  L"", SW_SHOWNORMAL,
                  Arguments({CorpusPath("cytoflow\\Beckman Coulter - Cytomics FC500.LMD")})),
              0u);
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(openGreyed);
    EXPECT_TRUE(stayedOpen);
    // The reading went on to its end (both data sets), and then the window went.
    EXPECT_GT(window.dataSets[0].eventCount, 0);
    EXPECT_GT(window.dataSets[1].eventCount, 0);
    EXPECT_FALSE(IsWindow(window.hwnd));
    EXPECT_FALSE(window.thread);  // and the update check was not started for a closed window
}

TEST(MainWindow, OpenThenCancelEmptiesTheViewAndKeepsTheTitle) {
    ComApartment com;  // the file dialog is a COM object
    MainWindowCase scope;
    MainWindow window;
    ASSERT_EQ(
        window.CreateAndShow(L"", SW_SHOWNORMAL, Arguments({RealFilePath("flowio\\coulter.lmd")})),
        0u);
    SelectSegmentRow(window, 5);
    const size_t parameterColumns = window.dataSets[1].parameters.size();
    EXPECT_EQ(Columns(window.detailList.hwnd).size(), parameterColumns);

    // The file dialog is cancelled as soon as it opens.
    SeenBoxes().clear();
    bool viewEmptiedBeforeTheDialog = false;
    MessageBoxCatcher::OnBox() = [&](const CaughtBox& box) {
        viewEmptiedBeforeTheDialog = Rows(window.segmentList.hwnd) == 0 &&
                                     Rows(window.detailList.hwnd) == 0 && !window.dataFile.IsOpen();
        PostMessageW(FindWindowW(L"#32770", box.caption.c_str()), WM_COMMAND, IDCANCEL, 0);
    };
    SendMessageW(window.hwnd, WM_COMMAND, MAKEWPARAM(IDM_OPEN, 0), 0);
    EXPECT_EQ(SeenBoxes().size(), 1u);  // the dialog, and nothing after it
    EXPECT_TRUE(viewEmptiedBeforeTheDialog);

    EXPECT_EQ(Rows(window.segmentList.hwnd), 0);
    EXPECT_EQ(Rows(window.detailList.hwnd), 0);
    // The previous headings stay over no rows, and so does what they belonged to.
    EXPECT_EQ(Columns(window.detailList.hwnd).size(), parameterColumns);
    EXPECT_EQ(window.selectedKind, 2);
    EXPECT_TRUE(window.showSecondDataSet);
    EXPECT_TRUE(window.dataSets[0].keywords.empty());
    EXPECT_TRUE(window.dataSets[1].keywords.empty());
    EXPECT_EQ(WindowText(window.hwnd), L"coulter.lmd - Ketterlin");
    EXPECT_EQ(GetMenuState(window.menu.hmenu, IDM_OPEN, MF_BYCOMMAND) & MF_GRAYED, 0u);
    DestroyWindow(window.hwnd);
}

TEST(MainWindow, TitleNamesTheOpenFileWhateverItsName) {
    const std::wstring source = RealFilePath("flowkit\\data_set_simple_line_100.fcs");
    const wchar_t* names[] = {
        L"run1.fcs", L"without-extension", L"two.dots.lmd",
        L"long.extension-of-twenty",  // too long for the extension's buffer of 16
    };
    for (const wchar_t* name : names) {
        SCOPED_TRACE(testing::Message() << "file " << name);
        const std::wstring path = TemporaryFolder() + name;
        ASSERT_TRUE(CopyFileW(source.c_str(), path.c_str(), FALSE));
        {
            MainWindowCase scope;
            MainWindow window;
            EXPECT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL, Arguments({path})), 0u);
            EXPECT_TRUE(SeenBoxes().empty());
            EXPECT_EQ(WindowText(window.hwnd), std::wstring(name) + L" - Ketterlin");
            DestroyWindow(window.hwnd);
        }
        DeleteFileW(path.c_str());
    }
}

TEST(MainWindow, ClosingDuringManyWarningsDropsTheRest) {
    // Fifty parameters without any of their keywords: two hundred "not present" warnings.
    FcsBuilder b;
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$MODE", "L").Add("$NEXTDATA", "0");
    b.Add("$PAR", "50").Add("$TOT", "0");
    b.dataKeywords = true;
    const std::vector<uint8_t> bytes = b.Build();
    const std::wstring path = WriteTempFile(L"many-warnings.fcs", bytes);
    {
        MainWindowCase scope;
        MainWindow window;
        int boxes = 0;
        MessageBoxCatcher::OnBox() = [&](const CaughtBox&) {
            if (++boxes == 3) {
                SendMessageW(window.hwnd, WM_CLOSE, 0, 0);
            }
        };
        EXPECT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL, Arguments({path})), 0u);
        // The box open when closing was asked for was the last one; the reading still ended
        // (all its keywords are in) before the window went.
        EXPECT_EQ(boxes, 3);
        EXPECT_EQ(window.dataSets[0].parameters.size(), 50u);
        EXPECT_FALSE(IsWindow(window.hwnd));
    }
    DeleteFileW(path.c_str());
}

TEST(MainWindow, ClicksOnTheSegmentListWaitForTheReading) {
    // Two data sets; the second one lacks $MODE, so its reading shows a warning while the first
    // one's rows are already in the list.
    auto dataSet = [](bool withMode, const std::string& nextData) {
        FcsBuilder b;
        b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$NEXTDATA", nextData);
        if (withMode) {
            b.Add("$MODE", "L");
        }
        b.Add("$PAR", "1").Add("$TOT", "2").Add("$P1B", "8").Add("$P1E", "0,0");
        b.Add("$P1N", "FSC-A").Add("$P1R", "256");
        b.dataKeywords = true;
        b.Bytes({1, 2});
        return b.Build();
    };
    const size_t firstSize = dataSet(true, "0000000000").size();
    std::string next = std::to_string(firstSize);
    next.insert(0, 10 - next.size(), '0');
    std::vector<uint8_t> bytes = dataSet(true, next);
    const std::vector<uint8_t> second = dataSet(false, "0000000000");
    bytes.insert(bytes.end(), second.begin(), second.end());
    const std::wstring path = WriteTempFile(L"two-data-sets.lmd", bytes);

    {
        MainWindowCase scope;
        MainWindow window;
        // At each warning box the user selects the first data set's Data row.
        int boxesWithRows = 0;
        bool rightListUntouched = true;
        MessageBoxCatcher::OnBox() = [&](const CaughtBox&) {
            boxesWithRows += Rows(window.segmentList.hwnd) == 3 ? 1 : 0;
            SelectSegmentRow(window, 2);
            rightListUntouched = rightListUntouched && Columns(window.detailList.hwnd).empty() &&
                                 Rows(window.detailList.hwnd) == 0;
        };
        EXPECT_EQ(window.CreateAndShow(L"", SW_SHOWNORMAL, Arguments({path})), 0u);
        EXPECT_GT(boxesWithRows, 0);
        EXPECT_TRUE(rightListUntouched);
        // Once read, the first row alone is selected and shown.
        EXPECT_EQ(Rows(window.segmentList.hwnd), 6);
        EXPECT_EQ(SendMessageW(window.segmentList.hwnd, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageW(window.segmentList.hwnd, LVM_GETITEMSTATE, 0, LVIS_SELECTED),
                  LVIS_SELECTED);
        EXPECT_EQ(window.selectedKind, 0);
        EXPECT_FALSE(window.showSecondDataSet);
        EXPECT_EQ(Columns(window.detailList.hwnd).size(), 2u);
        DestroyWindow(window.hwnd);
    }
    DeleteFileW(path.c_str());
}
