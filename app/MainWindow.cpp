// The main window: creation and layout, the menu commands, opening a file (chosen or dropped),
// the two list views' notifications and their Ctrl+A and Ctrl+C. Every call here runs on the
// user-interface thread.
//
// Reading a data set may show warning boxes that have no owner, so the window stays usable
// while they are open. While a file is being opened, File > Open is greyed and ignored (so is a
// dropped file), and closing the window is put off until the reading is over: a data set must
// never be reset or re-read while its Parse is still running. The file's remaining warnings are
// then not shown.
#include "MainWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>
#include <string>

#include "AboutBox.h"
#include "Clipboard.h"
#include "CopyText.h"
#include "DataSetChain.h"
#include "DetailListView.h"
#include "DetailView.h"
#include "DroppedFiles.h"
#include "ErrorBox.h"
#include "FileOpenDialog.h"
#include "GridCopyTable.h"
#include "ListViewCopy.h"
#include "ListViewSegmentList.h"
#include "ModuleVersionInfo.h"
#include "PlotTexts.h"
#include "ProgramTexts.h"
#include "UpdateCheck.h"
#include "WaitCursor.h"
#include "WindowTitle.h"
#include "resource.h"
#include "win32/Win32FileAccess.h"

namespace {

constexpr const wchar_t* kClassName = kProgramName;  // the class is named after the program
constexpr int kSegmentListWidth = 220;
constexpr int kSegmentColumnWidth = 75;
constexpr int kDetailsColumnWidth = 100;
constexpr size_t kTitleNameCapacity = 260;
constexpr size_t kTitleExtensionCapacity = 16;
constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;
constexpr int kEveryRow = -1;
constexpr WORD kSelectAllKey = 'A';  // with Ctrl
constexpr WORD kCopyKey = 'C';       // with Ctrl
constexpr int kMenuKeyOffset = 8;    // the keyboard's context menu, from the list's corner

// Ctrl held alone: AltGr arrives as Ctrl+Alt and types characters, which are no shortcuts.
bool ControlAloneHeld() {
    return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

MainWindow::MainWindow()
    : menu(IDR_MAINMENU), dataSets{{dataFile, warningSink}, {dataFile, warningSink}} {
    extensions.push_back(&menu);
}

MainWindow::~MainWindow() {
    // The update check must have ended before anything it could still meet is torn down; the
    // members then go in reverse order: data sets, file, lists, menu.
    Stop(true);
    // After the message loop the window is gone. Only a failed CreateAndShow leaves it behind,
    // and its procedure (and its lists') would then reach this object after it has gone.
    if (WindowObjectFromHandle(hwnd) == this) {
        DestroyWindow(hwnd);
    }
}

unsigned long MainWindow::CreateAndShow(const wchar_t*, int showCommand, const CmdLine& cmdLine) {
    DWORD error = Create(nullptr, kClassName, kProgramName, WS_OVERLAPPEDWINDOW,
                         Flags(WindowFlags::QuitOnDestroy), 0, 0, [](WNDCLASSEXW& windowClass) {
                             windowClass.hIcon =
                                 LoadIconW(moduleInstance, MAKEINTRESOURCEW(IDI_MAINICON));
                         });
    if (error != 0) {
        return error;
    }
    error = segmentList.Create(this, WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS);
    if (error != 0) {
        return error;
    }
    segmentList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    segmentList.InsertColumn(0, L"Segment", kSegmentColumnWidth);
    segmentList.InsertColumn(1, L"Details", kDetailsColumnWidth);

    error = detailList.Create(this, LVS_REPORT | LVS_OWNERDATA);
    if (error != 0) {
        return error;
    }
    detailList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    DragAcceptFiles(hwnd, TRUE);

    ShowWindow(hwnd, showCommand);
    if (!cmdLine.args.empty()) {
        BeginOpening();
        OpenFile(cmdLine.args.front().c_str());
        EndOpening();
    }
    // Closing the window while that file was read has destroyed it by now: then there is no one
    // left to offer an update to.
    if (WindowObjectFromHandle(hwnd) == this) {
        Start();
    }
    return 0;
}

void MainWindow::Run() {
    // On the worker thread, with a version reader of its own; without a version there is
    // nothing to ask for. It is released after the check, once the socket has gone.
    const ModuleVersionInfo versionInfo;
    if (const std::optional<ProgramVersion> running = versionInfo.Version()) {
        RunUpdateCheck(*running);
    }
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && opening != Opening::kIdle) {
        RequestCloseAfterOpening();
        return 1;  // handled: no DestroyWindow now
    }
    if (message == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 1;  // handled; the drop has been given back
    }
    if (message == WM_CONTEXTMENU && OnDataContextMenu(reinterpret_cast<HWND>(wParam), lParam)) {
        return 1;
    }
    if (message == WM_DESTROY) {
        plots.CloseAll();
    }
    return Window::HandleMessage(window, message, wParam, lParam);
}

int MainWindow::OnCommand(int id) {
    switch (id) {
        case IDM_EXIT:
            OnExit();
            return 1;
        case IDM_OPEN:
            OnOpen();
            return 0;
        case IDM_ABOUT:
            OnAbout();
            return 0;
        default:
            return 0;
    }
}

void MainWindow::OnExit() {
    if (opening != Opening::kIdle) {
        RequestCloseAfterOpening();
        return;
    }
    DestroyWindow(hwnd);
}

void MainWindow::OnAbout() {
    ShowAboutBox(*this);
}

void MainWindow::RequestCloseAfterOpening() {
    closePending = true;
    warningSink.silenced = true;
}

void MainWindow::BeginOpening() {
    opening = Opening::kOpening;
    EnableMenuItem(menu.hmenu, IDM_OPEN, MF_BYCOMMAND | MF_GRAYED);
}

void MainWindow::EndOpening() {
    opening = Opening::kIdle;
    EnableMenuItem(menu.hmenu, IDM_OPEN, MF_BYCOMMAND | MF_ENABLED);
    if (closePending) {
        closePending = false;
        DestroyWindow(hwnd);
    }
}

void MainWindow::OnOpen() {
    OpenChosenFile(AskForDataFile);
}

void MainWindow::OnDropFiles(HDROP drop) {
    const UniqueDrop dropped(drop);
    std::wstring path;
    if (!FirstDroppedFile(drop, path)) {
        return;  // a drop without a file changes nothing
    }
    OpenChosenFile([&path](std::wstring& chosen) {
        chosen = path;
        return true;
    });
}

void MainWindow::OpenChosenFile(const std::function<bool(std::wstring&)>& choose) {
    if (opening != Opening::kIdle) {
        return;  // a file is being opened already (its dialog or its warnings are showing)
    }
    BeginOpening();
    plots.CloseAll();
    dataFile.Close();
    detailList.SetVirtualItemCount(0);
    dataSets[0].Reset();
    dataSets[1].Reset();
    segmentList.DeleteAllItems();

    std::wstring path;
    if (choose(path)) {
        OpenFile(path.c_str());
    }
    EndOpening();
}

bool MainWindow::OpenFile(const wchar_t* path) {
    DWORD error = ERROR_SUCCESS;
    dataFile.Open(Win32FileAccess::Open(path, error));
    if (!dataFile.IsOpen() && error != 0) {
        ShowError(error);
        return false;
    }
    const Opening before = opening;
    opening = Opening::kReading;
    const bool read = ReadChain();
    const bool touched = opening == Opening::kReadingTouched;
    opening = before;
    if (!read) {
        return false;
    }
    if (touched) {
        // The user selected rows while warnings were showing; clear that so selecting row 0
        // below is a change the list reports.
        segmentList.SetItemState(kEveryRow, 0, kSelectedAndFocused);
    }
    segmentList.SetItemState(0, kSelectedAndFocused, kSelectedAndFocused);
    SetTitleFor(path);
    return true;
}

bool MainWindow::ReadChain() {
    ListViewSegmentList rows(segmentList);
    const DataSetChain chain = ReadDataSets(dataFile, dataSets[0], dataSets[1], rows);
    switch (chain.failure) {
        case DataSetChain::Failure::kNone:
            return true;
        case DataSetChain::Failure::kNotADataSet:
            MessageBoxW(hwnd, kUnknownFormat, kProgramName, MB_OK);
            return false;
        case DataSetChain::Failure::kFileError:
            ShowError(Win32ErrorOf(chain.fileError));
            return false;
    }
    return false;
}

void MainWindow::SetTitleFor(const wchar_t* path) {
    wchar_t name[kTitleNameCapacity] = {};
    wchar_t extension[kTitleExtensionCapacity] = {};
    std::wstring title;
    if (_wsplitpath_s(path, nullptr, 0, nullptr, 0, name, kTitleNameCapacity, extension,
                      kTitleExtensionCapacity) == 0) {
        title = TitleFromParts(name, extension);
    } else {
        // A name or extension too long for the buffers: the path's last part names the file.
        title = TitleFromParts(LastPathComponent(path), L"");
    }
    SetWindowTextW(hwnd, title.c_str());
}

int MainWindow::OnSize(WPARAM, RECT* client) {
    const int height = client->bottom - client->top + 1;
    SetWindowPos(segmentList.hwnd, nullptr, client->left, client->top, kSegmentListWidth, height,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(detailList.hwnd, nullptr, client->left + kSegmentListWidth, client->top,
                 client->right - client->left - (kSegmentListWidth - 1), height, SWP_NOZORDER);
    return 0;
}

DataSet& MainWindow::ShownDataSet() {
    return dataSets[showSecondDataSet ? 1 : 0];
}

int MainWindow::OnNotify(HWND from, int code, NMHDR* header) {
    if (from == segmentList.hwnd) {
        OnSegmentListNotify(code, header);
    } else if (from == detailList.hwnd) {
        OnDetailListNotify(code, header);
    }
    return 0;
}

void MainWindow::OnSegmentListNotify(int code, NMHDR* header) {
    switch (code) {
        case static_cast<int>(LVN_ITEMCHANGED):
            OnSegmentChanged(CommonControls::NotificationRecord<NMLISTVIEW>(header));
            break;
        case static_cast<int>(LVN_KEYDOWN):
            OnListKey(segmentList, CommonControls::NotificationRecord<NMLVKEYDOWN>(header));
            break;
        default:
            break;
    }
}

void MainWindow::OnDetailListNotify(int code, NMHDR* header) {
    switch (code) {
        case static_cast<int>(LVN_GETDISPINFOW):
            OnDetailDisplayInfo(CommonControls::NotificationRecord<NMLVDISPINFOW>(header));
            break;
        case static_cast<int>(LVN_ODCACHEHINT):
            OnDetailCacheHint(CommonControls::NotificationRecord<NMLVCACHEHINT>(header));
            break;
        case static_cast<int>(LVN_KEYDOWN):
            OnListKey(detailList, CommonControls::NotificationRecord<NMLVKEYDOWN>(header));
            break;
        default:
            break;
    }
}

bool MainWindow::Reading() const {
    return opening == Opening::kReading || opening == Opening::kReadingTouched;
}

void MainWindow::OnSegmentChanged(const NMLISTVIEW& change) {
    if (Reading()) {
        opening = Opening::kReadingTouched;
        return;
    }
    ShowSegment(change);
}

void MainWindow::ShowSegment(const NMLISTVIEW& change) {
    LPARAM kind = 0;
    if (!segmentList.ItemData(change.iItem, kind)) {
        return;  // a change that names no row (all rows at once, or a row being removed)
    }
    selectedKind = static_cast<int>(kind);
    showSecondDataSet = RowShowsSecondDataSet(change.iItem);
    RebuildDetailList(detailList, selectedKind, ShownDataSet());
}

void MainWindow::OnDetailDisplayInfo(NMLVDISPINFOW& request) {
    // The list draws from this pointer before it asks for the next cell; the model does not
    // change while it draws.
    request.item.pszText = const_cast<wchar_t*>(
        DetailViewOf(selectedKind)
            .CellText(ShownDataSet(), request.item.iItem, request.item.iSubItem));
}

void MainWindow::OnDetailCacheHint(const NMLVCACHEHINT& hint) {
    DataSet& shown = ShownDataSet();
    int first = hint.iFrom;
    int last = hint.iTo;
    if (ClampCacheHint(shown, first, last)) {
        shown.FillCache(first, last);
    }
}

void MainWindow::OnListKey(CommonControls::ListView& list, const NMLVKEYDOWN& key) {
    if (!ControlAloneHeld()) {
        return;
    }
    switch (key.wVKey) {
        case kSelectAllKey:
            // Undrawn meanwhile: the list would otherwise redraw each row as it is selected,
            // which takes minutes on a list of millions of rows.
            list.SetRedraw(false);
            list.SetItemState(kEveryRow, LVIS_SELECTED, LVIS_SELECTED);
            list.SetRedraw(true);
            break;
        case kCopyKey:
            CopySelectedRows(list);
            break;
        default:
            break;
    }
}

void MainWindow::CopySelectedRows(CommonControls::ListView& list) {
    ListViewSelection selection(list);
    if (selection.Count() == 0) {
        return;  // nothing to copy: the clipboard keeps what it holds
    }
    const WaitCursor waiting;  // a copy of a million rows takes seconds
    const std::unique_ptr<CopyTable> table = CopyTableOf(list, selection);
    if (!table) {
        return;
    }
    const DWORD error = PutTextOnClipboard(
        hwnd, CopyTextCapacity(*table),
        [&](wchar_t* out, size_t capacity) { return WriteCopyText(*table, out, capacity).length; });
    if (error != 0) {
        ShowError(error);
    }
}

std::unique_ptr<CopyTable> MainWindow::CopyTableOf(CommonControls::ListView& list,
                                                   RowSelection& selection) {
    if (&list == &segmentList) {
        return std::make_unique<GridCopyTable>(std::make_unique<ListViewGrid>(segmentList),
                                               selection);
    }
    // The right list's rows come from the data sets and their file, which a reading in
    // progress is using.
    if (Reading()) {
        return nullptr;
    }
    return DetailViewOf(selectedKind).CopyRows(ShownDataSet(), selection);
}

bool MainWindow::OnDataContextMenu(HWND from, LPARAM position) {
    if ((from != detailList.hwnd && from != detailList.Header()) || selectedKind != kSegmentData ||
        opening != Opening::kIdle) {
        return false;
    }
    int column = 0;
    POINT screen = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        // From the keyboard: the first column, the menu at the list's top left corner.
        RECT list = {};
        GetWindowRect(detailList.hwnd, &list);
        screen = {list.left + kMenuKeyOffset, list.top + kMenuKeyOffset};
    } else {
        column = detailList.ColumnAt(screen);
    }
    const DataSet& shown = ShownDataSet();
    if (column < 0 || static_cast<size_t>(column) >= shown.parameters.size()) {
        return false;
    }
    PopupMenu contextMenu;
    const std::wstring item = kPlotItemPrefix + ParameterName(shown, column);
    if (contextMenu.AppendItem(IDM_PLOT, item.c_str()) != 0 ||
        contextMenu.Track(hwnd, screen) != IDM_PLOT) {
        return true;
    }
    // While the menu was open a dropped file may have replaced the data sets.
    if (opening != Opening::kIdle || selectedKind != kSegmentData ||
        static_cast<size_t>(column) >= ShownDataSet().parameters.size()) {
        return true;
    }
    if (const DWORD error = plots.Open(this, ShownDataSet(), column)) {
        ShowError(error);
    }
    return true;
}
