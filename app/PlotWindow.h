// A plot of one data set's events: an owned, resizable top-level window with a row of controls
// (the parameter across and its scale, the parameter up or "Count" and its scale), the picture,
// and a status line under it. Every event is counted by the engine on a worker thread; the
// window redraws the partial counts several times a second and the final ones when the pass
// ends. Esc closes the window; Ctrl+C copies the picture and the counts.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Canvas.h"
#include "CommonControls.h"
#include "DataSet.h"
#include "EventCounting.h"
#include "GdiObjects.h"
#include "PlotChoice.h"
#include "Thread.h"
#include "Window.h"
#include "WorkerMailbox.h"

// A second thread that counts beside the window's own worker, so a pass uses both cores.
class CountingLane final : public Thread {
public:
    ~CountingLane() { Stop(true); }
    void Run() override { counter->RunLane(); }

    EventCounter* counter = nullptr;  // set before Start, kept until the thread has ended
};

class PlotWindow final : public Window, public Thread {
public:
    // The plot of parameter (counted from 0) of a data set that stays open while the window
    // lives.
    PlotWindow(DataSet& plotted, int32_t parameter);
    ~PlotWindow();

    // Creates the window owned by owner, shows it and starts counting. 0 or a Win32 error code.
    DWORD Open(Window* owner);
    // Destroys the window (the pass is cancelled and waited for first).
    void Close();
    // The window has been destroyed: the object may go.
    bool Gone() const { return gone; }

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnSize(WPARAM kind, RECT* client) override;
    int OnControlCommand(HWND control, int code, int id) override;
    void OnPaint(HDC dc) override;
    void OnTimer(WPARAM timerId) override;
    void Run() override;

private:
    // One pass of the engine: an extents pass finds the ranges of axes that take theirs from
    // the data, a counting pass fills the plot.
    enum class Pass { kNone, kExtents, kCounting };

    DWORD CreateControls();
    void FillChoices();
    PlotChoice ChoiceFromControls();
    void OnChoiceChanged();
    void OnKey(WPARAM key);
    void OnPassEnded(WPARAM tag);

    // Starts counting for the current choice (an extents pass first where a range comes from
    // the data).
    void Recount();
    void StartPass(Pass kind, const CountingRequests& requests);
    void StartCounting(const AxisSpec& x, const AxisSpec& y);
    void CancelPass();
    void ShowStatus(const std::wstring& text);
    void TakeSnapshot();

    void Render();
    void Copy();
    std::wstring CountsText() const;

    DataSet& dataSet;
    PlotChoice choice;
    AxisSpec xSpec;  // the axes being counted, their scales resolved
    AxisSpec ySpec;
    AxisChoice xPending;  // axes waiting for the extents pass
    AxisChoice yPending;

    CommonControls::Static xLabel;
    CommonControls::ComboBox xParameter;
    CommonControls::ComboBox xScale;
    CommonControls::Static yLabel;
    CommonControls::ComboBox yParameter;
    CommonControls::ComboBox yScale;
    CommonControls::Static status;
    UniqueFont font;
    Canvas canvas;
    RECT canvasRect = {};

    std::unique_ptr<EventCounter> counter;
    CountingLane helper;
    Pass pass = Pass::kNone;
    WPARAM generation = 0;       // tells a finished pass's message from an older one's
    bool firstSnapshot = false;  // the timer still runs at its first, shorter interval
    WorkerMailbox<CountingOutcome> finished;
    CountingResult shown;  // the counts the picture shows
    bool gone = false;
};
