// What opening one file costs the viewer's reader, measured inside a fresh process so the
// memory figures belong to the open file alone.
#pragma once

#include <string>

struct OpenMeasurement {
    bool ok = false;
    long eventCount = 0;
    double parseMs = 0;       // median of open + Parse
    long baseRssKb = 0;       // resident size before the file was opened
    long peakRssKb = 0;       // peak resident size once the file is open and parsed
    double fillUs[3] = {};    // one screen's FillCache at the start, middle and end
    double screenUs[3] = {};  // FillCache plus every cell of the screen formatted
    double cellsPerSecond = 0;
};

constexpr int kScreenRows = 50;

OpenMeasurement MeasureOpen(const std::string& path);

// One line of numbers, for handing a measurement from the measuring process to its parent.
std::string FormatMeasurement(const OpenMeasurement& m);
bool ParseMeasurement(const std::string& line, OpenMeasurement& m);
