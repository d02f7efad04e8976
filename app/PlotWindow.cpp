// The plot window. Its thread model: the window's thread owns the window, the controls, the
// counter and the counts shown; the worker thread only runs the counter's lane and, when the
// lane returns, leaves the pass's outcome in a mailbox with a posted message. While the pass
// runs, a timer takes the counter's snapshots (the counter allows that from any thread) and
// redraws, so the window decides when to repaint and the worker never touches a window.
//
// A pass is cancelled and waited for before anything it reads can change: before a new pass,
// when the window is destroyed (closing it, or the main window closing it before another file
// is opened). The counter stops within one block of events, so the wait is short.
#include "PlotWindow.h"

#include <algorithm>
#include <cwchar>

#include "AxisTicks.h"
#include "Clipboard.h"
#include "ErrorBox.h"
#include "FileAccess.h"
#include "MessageFont.h"
#include "PixelBuffer.h"
#include "PlotCopyText.h"
#include "PlotPainter.h"
#include "PlotTexts.h"
#include "WaitCursor.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kPlotClass = L"KetterlinPlot";
constexpr UINT kPassEndedMessage = WM_APP + 1;
constexpr UINT_PTR kSnapshotTimer = 1;
constexpr UINT kSnapshotIntervalMs = 100;  // partial counts redrawn ten times a second
// The first partial picture comes sooner: the counter hands in its first counts after a few
// megabytes, tens of milliseconds into the pass.
constexpr UINT kFirstSnapshotMs = 25;
constexpr int kFirstWidth = 680;
constexpr int kFirstHeight = 560;
constexpr int kLeastWidth = 420;
constexpr int kLeastHeight = 300;
constexpr int kGap = 6;
constexpr int kRowHeight = 32;
constexpr int kLabelWidth = 18;
constexpr int kParameterListWidth = 170;
constexpr int kScaleListWidth = 90;
constexpr int kDroppedListHeight = 320;
constexpr int kStatusHeight = 22;
constexpr int kLeastLabelChars = 7;  // room for the longest tick labels across ("-1e5", "262144")
constexpr const wchar_t* kAcrossLabel = L"X:";
constexpr const wchar_t* kUpLabel = L"Y:";
constexpr const wchar_t* kTitlePrefix = L"Plot of ";
constexpr const wchar_t* kTitleJoin = L" and ";

// Whether Ctrl alone is held (AltGr arrives as Ctrl+Alt and types characters).
bool ControlAloneHeld() {
    return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
}

DWORD RegisterPlotClass() {
    const DWORD error = RegisterWindowClass(kPlotClass, [](WNDCLASSEXW& windowClass) {
        windowClass.hIcon = LoadIconW(moduleInstance, MAKEINTRESOURCEW(IDI_MAINICON));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    });
    // Every plot window after the first finds the class there already.
    return error == ERROR_CLASS_ALREADY_EXISTS ? 0 : error;
}

AxisPosition PositionOn(const AxisSpec& spec) {
    const AxisScale scale(spec.scale);
    const double low = scale.Forward(spec.low);
    const double span = scale.Forward(spec.high) - low;
    return [scale, low, span](double value) { return (scale.Forward(value) - low) / span; };
}

AxisSpec FittedAxis(const AxisChoice& pending, int32_t parameter, const CountingResult& result) {
    if (!pending.rangeFromData) {
        return pending.spec;
    }
    for (const ParameterExtent& extent : result.extents) {
        if (extent.parameter == parameter) {
            return FitToData(pending.spec, extent);
        }
    }
    return FitToData(pending.spec, ParameterExtent{parameter, 0, 0, 0});
}

}  // namespace

PlotWindow::PlotWindow(DataSet& plotted, int32_t parameter)
    : dataSet(plotted), choice(FirstChoice(plotted, parameter)) {}

PlotWindow::~PlotWindow() {
    CancelPass();
    if (WindowObjectFromHandle(hwnd) == this) {
        DestroyWindow(hwnd);
    }
}

DWORD PlotWindow::Open(Window* owner) {
    DWORD error = RegisterPlotClass();
    if (error != 0) {
        return error;
    }
    error = Create(owner, kPlotClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                   WindowFlags::NoRegister | WindowFlags::OwnerPaint | WindowFlags::Timer, 0, 0);
    if (error != 0) {
        return error;
    }
    error = CreateControls();
    if (error != 0) {
        DestroyWindow(hwnd);
        return error;
    }
    FillChoices();
    SetWindowPos(hwnd, nullptr, 0, 0, kFirstWidth, kFirstHeight, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    Recount();
    return 0;
}

void PlotWindow::Close() {
    if (WindowObjectFromHandle(hwnd) == this) {
        DestroyWindow(hwnd);
    }
}

DWORD PlotWindow::CreateControls() {
    LOGFONTW messageFont = {};
    if (QueryMessageFont(messageFont)) {
        font.Reset(CreateFontIndirectW(&messageFont));
    }
    const struct {
        CommonControls::Static& control;
        const wchar_t* text;
    } labels[] = {{xLabel, kAcrossLabel}, {yLabel, kUpLabel}, {status, L""}};
    for (const auto& label : labels) {
        if (const DWORD error = label.control.CreateText(this, label.text, SS_LEFTNOWORDWRAP)) {
            return error;
        }
    }
    for (CommonControls::ComboBox* list : {&xParameter, &xScale, &yParameter, &yScale}) {
        if (const DWORD error = list->Create(this)) {
            return error;
        }
    }
    if (font) {
        for (Window* control : std::initializer_list<Window*>{
                 &xLabel, &xParameter, &xScale, &yLabel, &yParameter, &yScale, &status}) {
            SendMessageW(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        }
    }
    return 0;
}

void PlotWindow::FillChoices() {
    const int32_t count = static_cast<int32_t>(dataSet.parameters.size());
    yParameter.AddItem(kCountChoice, kCountAxis);
    for (int32_t parameter = 0; parameter < count; ++parameter) {
        const std::wstring title = ParameterTitle(dataSet, parameter);
        xParameter.AddItem(title.c_str(), parameter);
        yParameter.AddItem(title.c_str(), parameter);
    }
    for (ScaleKind kind : kPlotScales) {
        xScale.AddItem(ScaleChoiceText(kind), static_cast<LPARAM>(kind));
        yScale.AddItem(ScaleChoiceText(kind), static_cast<LPARAM>(kind));
    }
    xParameter.SelectData(choice.x);
    xScale.SelectData(static_cast<LPARAM>(choice.xScale));
    yParameter.SelectData(choice.y);
    yScale.SelectData(static_cast<LPARAM>(choice.yScale));
    EnableWindow(yScale.hwnd, choice.IsDensity());
}

LRESULT PlotWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // OnPaint covers every pixel; erasing first would flicker
        case WM_KEYDOWN:
            OnKey(wParam);
            return 1;
        case kPassEndedMessage:
            OnPassEnded(wParam);
            return 1;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {kLeastWidth, kLeastHeight};
            return 1;
        }
        case WM_DESTROY:
            CancelPass();
            break;
        case WM_NCDESTROY: {
            const LRESULT result = Window::HandleMessage(window, message, wParam, lParam);
            gone = true;
            return result;
        }
        default:
            break;
    }
    return Window::HandleMessage(window, message, wParam, lParam);
}

int PlotWindow::OnSize(WPARAM, RECT* client) {
    const int width = client->right - client->left + 1;
    const int height = client->bottom - client->top + 1;
    int x = kGap;
    const int rowTop = kGap;
    const int labelTop = rowTop + 4;
    auto place = [&](Window& control, int controlWidth, int top, int controlHeight) {
        SetWindowPos(control.hwnd, nullptr, x, top, controlWidth, controlHeight, SWP_NOZORDER);
        x += controlWidth + kGap;
    };
    place(xLabel, kLabelWidth, labelTop, kStatusHeight);
    place(xParameter, kParameterListWidth, rowTop, kDroppedListHeight);
    place(xScale, kScaleListWidth, rowTop, kDroppedListHeight);
    x += kGap * 2;
    place(yLabel, kLabelWidth, labelTop, kStatusHeight);
    place(yParameter, kParameterListWidth, rowTop, kDroppedListHeight);
    place(yScale, kScaleListWidth, rowTop, kDroppedListHeight);
    SetWindowPos(status.hwnd, nullptr, kGap, height - kStatusHeight, std::max(width - 2 * kGap, 0),
                 kStatusHeight - 2, SWP_NOZORDER);
    canvasRect = {0, kRowHeight, width, std::max(height - kStatusHeight, kRowHeight)};
    // A window not yet shown is drawn when its first pass starts.
    if (IsWindowVisible(hwnd)) {
        Render();
    }
    return 0;
}

int PlotWindow::OnControlCommand(HWND control, int code, int) {
    if (code != CBN_SELCHANGE) {
        return 0;
    }
    if (control == xParameter.hwnd) {
        choice.x = static_cast<int32_t>(xParameter.ItemData(xParameter.Selected()));
        choice.xScale = DefaultScaleOf(dataSet, choice.x);
        xScale.SelectData(static_cast<LPARAM>(choice.xScale));
    } else if (control == yParameter.hwnd) {
        choice.y = static_cast<int32_t>(yParameter.ItemData(yParameter.Selected()));
        if (choice.IsDensity()) {
            choice.yScale = DefaultScaleOf(dataSet, choice.y);
            yScale.SelectData(static_cast<LPARAM>(choice.yScale));
        }
        EnableWindow(yScale.hwnd, choice.IsDensity());
    } else if (control == xScale.hwnd) {
        choice.xScale = static_cast<ScaleKind>(xScale.ItemData(xScale.Selected()));
    } else if (control == yScale.hwnd) {
        choice.yScale = static_cast<ScaleKind>(yScale.ItemData(yScale.Selected()));
    } else {
        return 0;
    }
    Recount();
    return 1;
}

void PlotWindow::OnKey(WPARAM key) {
    if (key == VK_ESCAPE) {
        Close();
    } else if (key == 'C' && ControlAloneHeld()) {
        Copy();
    }
}

// ---- counting ---------------------------------------------------------------------------

void PlotWindow::Run() {
    // On the worker: the counter, the helper and the generation were set before the thread
    // started and do not change until it has been waited for. The outcome is whole once every
    // lane has returned.
    counter->RunLane();
    WaitForSingleObject(helper.thread.Get(), INFINITE);
    finished.Hand(counter->Outcome(), generation);
}

void PlotWindow::Recount() {
    const std::wstring xName = ParameterName(dataSet, choice.x);
    std::wstring title = kTitlePrefix + xName;
    if (choice.IsDensity()) {
        title += kTitleJoin + ParameterName(dataSet, choice.y);
    }
    SetWindowTextW(hwnd, title.c_str());

    const int32_t bins = choice.IsDensity() ? kDensityBins : kHistogramBins;
    xPending = AxisFor(dataSet, choice.x, choice.xScale, bins);
    yPending =
        choice.IsDensity() ? AxisFor(dataSet, choice.y, choice.yScale, kDensityBins) : AxisChoice{};
    CountingRequests extents;
    if (xPending.rangeFromData) {
        extents.extents.push_back(choice.x);
    }
    if (choice.IsDensity() && yPending.rangeFromData) {
        extents.extents.push_back(choice.y);
    }
    if (extents.extents.empty()) {
        StartCounting(xPending.spec, yPending.spec);
        return;
    }
    const RequestProblem problem = CheckRequests(dataSet, extents);
    if (!problem.Ok()) {
        CancelPass();
        ShowStatus(FromUtf8(RequestProblemText(problem)));
        return;
    }
    shown = CountingResult{};  // nothing to draw until the ranges are known
    StartPass(Pass::kExtents, extents);
}

void PlotWindow::StartCounting(const AxisSpec& x, const AxisSpec& y) {
    CountingRequests requests = RequestsFor(choice, x, y);
    const RequestProblem problem = CheckRequests(dataSet, requests);
    if (!problem.Ok()) {
        CancelPass();
        shown = CountingResult{};
        Render();
        ShowStatus(FromUtf8(RequestProblemText(problem)));
        return;
    }
    // The scales resolved (logicle's T set) as the counts will carry them.
    if (choice.IsDensity()) {
        xSpec = requests.densities.front().x;
        ySpec = requests.densities.front().y;
    } else {
        xSpec = requests.histograms.front().axis;
    }
    StartPass(Pass::kCounting, requests);
}

void PlotWindow::StartPass(Pass kind, const CountingRequests& requests) {
    CancelPass();
    ++generation;
    finished.Address(hwnd, kPassEndedMessage);
    finished.Clear();
    counter = std::make_unique<EventCounter>(dataSet, requests);
    pass = kind;
    if (kind == Pass::kCounting) {
        // Every bin there and empty: the axes show at once, and a copy made before the first
        // events are counted has its bins.
        shown = counter->Snapshot();
    }
    ShowStatus(CountingStatus(0, counter->EventsAsked()));
    SetTimer(hwnd, kSnapshotTimer, kFirstSnapshotMs, nullptr);
    firstSnapshot = true;
    helper.counter = counter.get();
    helper.Start();
    Start();
    Render();
}

void PlotWindow::CancelPass() {
    if (counter) {
        counter->Cancel();
        Stop(true);
        helper.Stop(true);
        counter.reset();
    }
    if (hwnd != nullptr) {
        KillTimer(hwnd, kSnapshotTimer);
    }
    pass = Pass::kNone;
}

void PlotWindow::OnTimer(WPARAM timerId) {
    if (timerId == kSnapshotTimer) {
        TakeSnapshot();
    }
}

void PlotWindow::TakeSnapshot() {
    if (!counter) {
        return;
    }
    if (firstSnapshot) {
        firstSnapshot = false;
        SetTimer(hwnd, kSnapshotTimer, kSnapshotIntervalMs, nullptr);  // replaces the first
    }
    ShowStatus(CountingStatus(counter->EventsDone(), counter->EventsAsked()));
    if (pass != Pass::kCounting) {
        return;
    }
    CountingResult snapshot = counter->Snapshot();
    if (snapshot.histograms.size() == shown.histograms.size() &&
        snapshot.densities.size() == shown.densities.size()) {
        shown = std::move(snapshot);
        Render();
    }
}

void PlotWindow::OnPassEnded(WPARAM tag) {
    const std::optional<CountingOutcome> outcome = finished.Take();
    if (!outcome || tag != generation || !counter) {
        return;  // an older pass's message, or one whose pass was cancelled since
    }
    Stop(true);  // both lanes have returned; the threads end with them
    helper.Stop(true);
    KillTimer(hwnd, kSnapshotTimer);
    CountingResult result = counter->Snapshot();
    const Pass ended = pass;
    counter.reset();
    pass = Pass::kNone;
    const bool counted =
        outcome->state == CountingState::kComplete || outcome->state == CountingState::kFileEnded;
    if (ended == Pass::kExtents && counted) {
        StartCounting(FittedAxis(xPending, choice.x, result),
                      choice.IsDensity() ? FittedAxis(yPending, choice.y, result) : AxisSpec{});
        return;
    }
    if (ended == Pass::kCounting && result.histograms.size() == shown.histograms.size() &&
        result.densities.size() == shown.densities.size()) {
        shown = std::move(result);
    }
    Render();
    ShowStatus(FinalStatus(*outcome, shown, FromUtf8(FileStatusText(outcome->readError))));
}

void PlotWindow::ShowStatus(const std::wstring& text) {
    // Only a change is set: the static control would otherwise redraw ten times a second.
    wchar_t current[256] = {};
    GetWindowTextW(status.hwnd, current, 256);
    if (text != current) {
        SetWindowTextW(status.hwnd, text.c_str());
    }
}

// ---- the picture ------------------------------------------------------------------------

void PlotWindow::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    // The controls' row and the status line's strip; the canvas covers the rest.
    RECT above = {client.left, client.top, client.right, canvasRect.top};
    RECT below = {client.left, canvasRect.bottom, client.right, client.bottom};
    FillRect(dc, &above, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &below, GetSysColorBrush(COLOR_BTNFACE));
    if (canvas.Empty()) {
        FillRect(dc, &canvasRect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    canvas.PaintTo(dc, canvasRect.left, canvasRect.top);
}

void PlotWindow::Render() {
    const int width = canvasRect.right - canvasRect.left;
    const int height = canvasRect.bottom - canvasRect.top;
    if (canvas.Resize(width, height) != 0 || canvas.Empty()) {
        return;
    }
    HDC dc = canvas.Dc();
    const SelectedObject selectedFont(
        dc, font ? static_cast<HGDIOBJ>(font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int textHeight = metrics.tmHeight;
    const int charWidth = std::max<int>(metrics.tmAveCharWidth, 1);

    const bool density = !shown.densities.empty();
    const bool histogram = !shown.histograms.empty();
    PixelRect area;
    area.top = textHeight + 2 * kGap;
    area.bottom = height - (2 * textHeight + kTickLength + 3 * kGap);
    area.right = width - std::max(3 * charWidth, 2 * kGap);

    // Up: the count from 0 for a histogram, the y parameter's scale for a density map.
    uint64_t largest = 0;
    if (histogram) {
        for (uint64_t count : shown.histograms.front().counts) {
            largest = std::max(largest, count);
        }
    }
    const double countTop = CountAxisTop(largest);
    const double upGap = 2.0 * textHeight / std::max(area.Height(), 1);
    std::vector<AxisTick> up;
    if (density) {
        up = PlaceTicks(TickStyleOf(ySpec.scale.kind), ySpec.low, ySpec.high, PositionOn(ySpec),
                        upGap);
    } else if (histogram) {
        up = PlaceTicks(
            TickStyle::kLinear, 0, countTop, [countTop](double value) { return value / countTop; },
            upGap);
    }
    int widest = 0;
    for (const AxisTick& tick : up) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, tick.label.c_str(), static_cast<int>(tick.label.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    area.left = widest + kTickLength + 2 * kGap;
    std::vector<AxisTick> across;
    if (density || histogram) {
        const double acrossGap =
            static_cast<double>(charWidth * kLeastLabelChars) / std::max(area.Width(), 1);
        across = PlaceTicks(TickStyleOf(xSpec.scale.kind), xSpec.low, xSpec.high, PositionOn(xSpec),
                            acrossGap);
    }

    PixelBuffer picture(width, height, kWhite);
    if (area.Width() > 1 && area.Height() > 1) {
        if (density) {
            const Density& map = shown.densities.front();
            PaintDensity(picture, area, map.counts, map.x.Bins(), map.y.Bins());
        } else if (histogram) {
            PaintHistogram(picture, area, shown.histograms.front().counts, countTop);
        }
        PaintFrame(picture, area, across, up);
    }
    canvas.Show(picture);

    // The texts, over the pixels.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x20, 0x20, 0x20));
    auto text = [&](const std::wstring& label, RECT where, UINT format) {
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &where,
                  format | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    };
    if (area.Width() > 1 && area.Height() > 1) {
        for (const AxisTick& tick : across) {
            if (!tick.label.empty()) {
                const int x = AcrossTickX(area, tick.fraction);
                text(tick.label, {x - 40, area.bottom + kTickLength + 2, x + 40, height},
                     DT_CENTER | DT_TOP);
            }
        }
        for (const AxisTick& tick : up) {
            if (!tick.label.empty()) {
                const int y = UpTickY(area, tick.fraction);
                text(tick.label,
                     {0, y - textHeight, area.left - kTickLength - kGap / 2, y + textHeight},
                     DT_RIGHT | DT_VCENTER);
            }
        }
        if (density || histogram) {
            text(ParameterTitle(dataSet, choice.x),
                 {area.left, height - textHeight - kGap, area.right, height}, DT_CENTER | DT_TOP);
            text(density ? ParameterTitle(dataSet, choice.y) : std::wstring(kCountChoice),
                 {kGap, kGap / 2, width, area.top}, DT_LEFT | DT_TOP);
        }
    }
    InvalidateRect(hwnd, &canvasRect, FALSE);
}

// ---- copying ------------------------------------------------------------------------------

std::wstring PlotWindow::CountsText() const {
    if (!shown.densities.empty()) {
        const Density& map = shown.densities.front();
        const CopiedAxis x{ParameterName(dataSet, map.xParameter), ScaleText(map.x.Spec().scale),
                           map.x.Spec().low, map.x.Spec().high, map.x.Edges()};
        const CopiedAxis y{ParameterName(dataSet, map.yParameter), ScaleText(map.y.Spec().scale),
                           map.y.Spec().low, map.y.Spec().high, map.y.Edges()};
        return DensityCountsText(x, y, map.counts);
    }
    if (!shown.histograms.empty()) {
        const Histogram& histogram = shown.histograms.front();
        const AxisSpec& spec = histogram.axis.Spec();
        const CopiedAxis x{ParameterName(dataSet, histogram.parameter), ScaleText(spec.scale),
                           spec.low, spec.high, histogram.axis.Edges()};
        return HistogramCountsText(x, histogram.counts);
    }
    return std::wstring();
}

void PlotWindow::Copy() {
    if (canvas.Empty()) {
        return;
    }
    const WaitCursor waiting;
    const std::wstring text = CountsText();
    const ClipboardPicture picture{canvas.Pixels(), canvas.Width(), canvas.Height()};
    const DWORD error = PutPictureAndTextOnClipboard(
        hwnd, picture, text.size() + 1, [&text](wchar_t* out, size_t capacity) {
            const size_t length = std::min(text.size(), capacity - 1);
            std::wmemcpy(out, text.data(), length);
            out[length] = L'\0';
            return length;
        });
    if (error != 0) {
        ShowError(error);
    }
}
