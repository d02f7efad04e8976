// The text of a plot's counts as Ctrl+C puts it on the clipboard: cells separated by tabs, lines
// ended by CR LF. The first line names each axis: its parameter, its scale with the scale's
// parameters, and its range's two ends. A histogram then has one line per bin: lower edge, upper
// edge, count. A density map has a line of the K + 1 edges across (after two empty cells, so each
// edge stands above the column of the bins it begins), then one line per bin up, from the top
// row down as the picture shows them: the row's lower and upper edge, then its counts across.
// Edges and range ends are written in the shortest text that reads back to the same double.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CopiedAxis {
    std::wstring name;   // the parameter's $PnN (or its number where it has none)
    std::wstring scale;  // e.g. "logicle T=262144 W=0.5 M=4.5 A=0"
    double lo = 0;       // the range [lo, hi)
    double hi = 0;
    std::vector<double> edges;  // K + 1 bin edges in data space
};

// The shortest text of a double that reads back to the same double ("nan", "inf", "-inf" for
// the values that have no digits).
std::wstring ShortestDoubleText(double value);

// counts: one per bin of x (edges.size() - 1 of them).
std::wstring HistogramCountsText(const CopiedAxis& x, const std::vector<uint64_t>& counts);

// counts: rows of x's bins, one row per bin of y, row 0 the lowest bin up.
std::wstring DensityCountsText(const CopiedAxis& x,
                               const CopiedAxis& y,
                               const std::vector<uint64_t>& counts);
