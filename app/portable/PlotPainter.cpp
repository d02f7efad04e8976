// Painting a plot's pixels. The area's pixels are walked once; every lookup of bins goes
// through BinsUnderPixel, so a plot looks the same whatever the sizes of window and axis.
#include "PlotPainter.h"

#include <algorithm>
#include <cmath>

#include "DensityColours.h"
#include "PlotBins.h"

namespace {

constexpr int kMostCountSteps = 10;  // the top at most a tenth above the fullest bin

uint64_t LargestIn(const std::vector<uint64_t>& counts, BinSpan span) {
    uint64_t largest = 0;
    for (int bin = span.first; bin < span.last; ++bin) {
        largest = std::max(largest, counts[static_cast<size_t>(bin)]);
    }
    return largest;
}

}  // namespace

double CountAxisTop(uint64_t maxCount) {
    if (maxCount == 0) {
        return 1;
    }
    const double step = RoundStep(static_cast<double>(maxCount), kMostCountSteps);
    return std::ceil(static_cast<double>(maxCount) / step) * step;
}

void PaintHistogram(PixelBuffer& picture,
                    const PixelRect& area,
                    const std::vector<uint64_t>& counts,
                    double countTop) {
    const int bins = static_cast<int>(counts.size());
    if (area.Empty() || bins == 0 || !(countTop > 0)) {
        return;
    }
    const int height = area.Height();
    // The top row of each column's bar; area.bottom for an empty one.
    std::vector<int> tops(static_cast<size_t>(area.Width()));
    for (int x = 0; x < area.Width(); ++x) {
        const double count =
            static_cast<double>(LargestIn(counts, BinsUnderPixel(x, area.Width(), bins)));
        const int bar = std::min(
            height, static_cast<int>(std::lround(count / countTop * static_cast<double>(height))));
        tops[static_cast<size_t>(x)] = area.bottom - bar;
    }
    auto topAt = [&](int x) {
        return x < 0 || x >= area.Width() ? area.bottom : tops[static_cast<size_t>(x)];
    };
    for (int x = 0; x < area.Width(); ++x) {
        const int top = topAt(x);
        if (top >= area.bottom) {
            continue;
        }
        const int column = area.left + x;
        picture.Fill({column, top, column + 1, area.bottom}, kHistogramFill);
        // The outline: the bar's top, and its sides down to the lower of its neighbours.
        const int sideEnd = std::max({top, topAt(x - 1) - 1, topAt(x + 1) - 1});
        picture.VerticalLine(column, top, std::min(sideEnd, area.bottom - 1), kHistogramOutline);
    }
}

void PaintDensity(PixelBuffer& picture,
                  const PixelRect& area,
                  const std::vector<uint64_t>& counts,
                  int xBins,
                  int yBins) {
    if (area.Empty() || xBins <= 0 || yBins <= 0 ||
        counts.size() != static_cast<size_t>(xBins) * static_cast<size_t>(yBins)) {
        return;
    }
    const DensityColourScale scale(*std::max_element(counts.begin(), counts.end()));
    std::vector<BinSpan> columns(static_cast<size_t>(area.Width()));
    for (int x = 0; x < area.Width(); ++x) {
        columns[static_cast<size_t>(x)] = BinsUnderPixel(x, area.Width(), xBins);
    }
    for (int y = 0; y < area.Height(); ++y) {
        // The top pixel row shows the highest bins.
        const BinSpan rows = BinsUnderPixel(area.Height() - 1 - y, area.Height(), yBins);
        for (int x = 0; x < area.Width(); ++x) {
            const BinSpan span = columns[static_cast<size_t>(x)];
            uint64_t largest = 0;
            for (int row = rows.first; row < rows.last; ++row) {
                const uint64_t* line = &counts[static_cast<size_t>(row) * xBins];
                for (int bin = span.first; bin < span.last; ++bin) {
                    largest = std::max(largest, line[bin]);
                }
            }
            picture.Set(area.left + x, area.top + y, scale.ColourOf(largest));
        }
    }
}

int AcrossTickX(const PixelRect& area, double fraction) {
    return area.left + std::min(PixelAtFraction(fraction, area.Width()), area.Width() - 1);
}

int UpTickY(const PixelRect& area, double fraction) {
    return area.bottom - 1 - std::min(PixelAtFraction(fraction, area.Height()), area.Height() - 1);
}

void PaintFrame(PixelBuffer& picture,
                const PixelRect& area,
                const std::vector<AxisTick>& across,
                const std::vector<AxisTick>& up) {
    if (area.Empty()) {
        return;
    }
    // Just outside the area, so the frame never covers a bin.
    picture.HorizontalLine(area.left - 1, area.right, area.top - 1, kFrameColour);
    picture.HorizontalLine(area.left - 1, area.right, area.bottom, kFrameColour);
    picture.VerticalLine(area.left - 1, area.top - 1, area.bottom, kFrameColour);
    picture.VerticalLine(area.right, area.top - 1, area.bottom, kFrameColour);
    for (const AxisTick& tick : across) {
        const int length = tick.label.empty() ? kMinorTickLength : kTickLength;
        picture.VerticalLine(AcrossTickX(area, tick.fraction), area.bottom + 1,
                             area.bottom + length, kFrameColour);
    }
    for (const AxisTick& tick : up) {
        const int length = tick.label.empty() ? kMinorTickLength : kTickLength;
        picture.HorizontalLine(area.left - 1 - length, area.left - 2, UpTickY(area, tick.fraction),
                               kFrameColour);
    }
}
