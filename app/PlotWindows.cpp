// The main window's plot windows. A plot window closed by the user is destroyed by the system
// while its object's handlers run, so its object is let go later, at the next opening or
// closing, never from inside its own messages.
#include "PlotWindows.h"

#include <algorithm>

#include "PlotWindow.h"

PlotWindows::PlotWindows() = default;

PlotWindows::~PlotWindows() {
    CloseAll();
}

DWORD PlotWindows::Open(Window* owner, DataSet& dataSet, int32_t parameter) {
    ForgetClosed();
    auto window = std::make_unique<PlotWindow>(dataSet, parameter);
    const DWORD error = window->Open(owner);
    windows.push_back(std::move(window));
    return error;
}

void PlotWindows::CloseAll() {
    for (const std::unique_ptr<PlotWindow>& window : windows) {
        window->Close();
    }
    windows.clear();
}

void PlotWindows::ForgetClosed() {
    windows.erase(
        std::remove_if(windows.begin(), windows.end(),
                       [](const std::unique_ptr<PlotWindow>& window) { return window->Gone(); }),
        windows.end());
}
