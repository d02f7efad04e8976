// The pixels of a plot: a histogram's counts as a filled outline, a density map's bins in the
// density colours, and the frame with its tick marks. The texts (tick labels, axis titles) are
// the window's to draw, at the places the ticks give.
#pragma once

#include <cstdint>
#include <vector>

#include "AxisTicks.h"
#include "PixelBuffer.h"

constexpr Colour kHistogramFill = RgbColour(0xB4, 0xC8, 0xE6);
constexpr Colour kHistogramOutline = RgbColour(0x1F, 0x3C, 0x78);
constexpr Colour kFrameColour = RgbColour(0x40, 0x40, 0x40);
constexpr int kTickLength = 5;
constexpr int kMinorTickLength = 3;

// The count at the top of a histogram's count axis: the fullest bin's count rounded up to a
// multiple of a round step (1 when every bin is empty), so the axis ends on a round count.
double CountAxisTop(uint64_t maxCount);

// Draws counts (one per bin, across) into area: each pixel column rises from the bottom to its
// bins' largest count, countTop at the area's top, filled, with an outline along the bars' tops
// and down their sides.
void PaintHistogram(PixelBuffer& picture,
                    const PixelRect& area,
                    const std::vector<uint64_t>& counts,
                    double countTop);

// Draws a density map into area: counts hold yBins rows of xBins counts, row 0 the lowest bin
// up. Each pixel takes the colour of the fullest of the bins under it; empty bins stay white.
void PaintDensity(PixelBuffer& picture,
                  const PixelRect& area,
                  const std::vector<uint64_t>& counts,
                  int xBins,
                  int yBins);

// The frame around area and the tick marks outside it: across along the bottom, up along the
// left side. Labelled ticks are longer.
void PaintFrame(PixelBuffer& picture,
                const PixelRect& area,
                const std::vector<AxisTick>& across,
                const std::vector<AxisTick>& up);

// Where a tick of the across axis or of the up axis meets the frame, in picture pixels.
int AcrossTickX(const PixelRect& area, double fraction);
int UpTickY(const PixelRect& area, double fraction);
