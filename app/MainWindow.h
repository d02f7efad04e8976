// The program's one top-level window: menu, segment list on the left, the selected segment on
// the right, the open data file with its two data sets, and the background update check.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "CmdLine.h"
#include "CommonControls.h"
#include "CopyTable.h"
#include "DataFile.h"
#include "DataSet.h"
#include "Menu.h"
#include "PlotWindows.h"
#include "Thread.h"
#include "Window.h"
#include "win32/MessageBoxWarningSink.h"

class MainWindow final : public Window, public Thread {
public:
    MainWindow();
    ~MainWindow();

    // Creates the window with its lists, shows it, opens the first argument (if any) and starts
    // the update check. 0 or the Win32 error code of the first step that failed.
    unsigned long CreateAndShow(const wchar_t* unused, int showCommand, const CmdLine& cmdLine);

    // Opens a data file and reads its data sets into the lists. True when every data set in it
    // was read; failures have been shown to the user. Runs between BeginOpening and
    // EndOpening, which guard the reading against a new file and against closing.
    bool OpenFile(const wchar_t* path);

    int OnCommand(int id) override;
    int OnSize(WPARAM kind, RECT* client) override;
    int OnNotify(HWND from, int code, NMHDR* header) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Run() override;

    // Rebuilds the right list for the segment-list row named in the change record.
    void ShowSegment(const NMLISTVIEW& change);

    MenuExt menu;
    CommonControls::ListView segmentList;
    CommonControls::ListView detailList;
    DataFile dataFile;
    MessageBoxWarningSink warningSink;
    int selectedKind = 0;            // SegmentKind of the row the right list shows
    bool showSecondDataSet = false;  // that row belongs to the second data set
    DataSet dataSets[2];
    // After the data sets, so the plots (which read them) close before they go.
    PlotWindows plots;

private:
    void OnOpen();
    void OnExit();
    void OnAbout();
    // A file dropped on the window opens as File > Open opens a chosen one; several open the
    // first. Ignored while a file is being opened.
    void OnDropFiles(HDROP drop);
    // File > Open's steps, with the file chosen by choose (false: none chosen).
    void OpenChosenFile(const std::function<bool(std::wstring&)>& choose);
    DataSet& ShownDataSet();
    // Reads the file's data sets; a failure is shown as "Unknown format" or the error box.
    bool ReadChain();
    void SetTitleFor(const wchar_t* path);
    // Notifications of the two lists, each kind handed to its own handler as its own record.
    void OnSegmentListNotify(int code, NMHDR* header);
    void OnDetailListNotify(int code, NMHDR* header);
    void OnSegmentChanged(const NMLISTVIEW& change);
    void OnDetailDisplayInfo(NMLVDISPINFOW& request);
    void OnDetailCacheHint(const NMLVCACHEHINT& hint);
    // Ctrl+A selects every row of the list that has the focus, Ctrl+C copies its selected rows
    // to the clipboard; a failure shows the error box.
    void OnListKey(CommonControls::ListView& list, const NMLVKEYDOWN& key);
    void CopySelectedRows(CommonControls::ListView& list);
    // The Data view's context menu, for a right click on a cell or heading (or the menu key,
    // which names the first column): "Plot" and the column's parameter. False when the message
    // came from elsewhere or names no column.
    bool OnDataContextMenu(HWND from, LPARAM position);
    // The list's selected rows as a table to copy; null when they cannot be read now.
    std::unique_ptr<CopyTable> CopyTableOf(CommonControls::ListView& list, RowSelection& selection);

    // Where the opening of a file stands. While a file is being opened (its dialog, or a Parse
    // whose warning boxes keep the window usable) the data sets must not be reset or destroyed
    // under it. While its data sets are read (they share the file and its position) the right
    // list is not rebuilt and no events are read.
    enum class Opening {
        kIdle,            // no file is being opened
        kOpening,         // a file is being chosen or opened
        kReading,         // its data sets are being read
        kReadingTouched,  // the same, and the user has touched the segment list meanwhile
    };

    void BeginOpening();
    void EndOpening();
    bool Reading() const;
    void RequestCloseAfterOpening();
    Opening opening = Opening::kIdle;
    bool closePending = false;  // closing was asked for while opening; done when it ends
};
