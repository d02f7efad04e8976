// The plot windows of the main window: it opens them and closes them all (before another file
// is opened, when it closes itself), and knows nothing else of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "DataSet.h"
#include "Window.h"

class PlotWindow;

class PlotWindows {
public:
    PlotWindows();
    ~PlotWindows();
    PlotWindows(const PlotWindows&) = delete;
    PlotWindows& operator=(const PlotWindows&) = delete;

    // Opens a plot of a parameter (counted from 0) of a data set, owned by owner. 0 or a Win32
    // error code.
    DWORD Open(Window* owner, DataSet& dataSet, int32_t parameter);
    // Closes every plot window; their passes have ended when this returns.
    void CloseAll();

private:
    // Lets go of the objects of windows the user has closed.
    void ForgetClosed();

    std::vector<std::unique_ptr<PlotWindow>> windows;
};
