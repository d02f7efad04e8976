// What a plot shows, as its controls choose it: the parameter across with its scale, and either
// the count (a histogram) or a parameter up with its scale (a density map); and the axes and
// counting requests that choice makes, by the engine's rule for a parameter's default axis.
#pragma once

#include <cstdint>

#include "Axis.h"
#include "AxisTicks.h"
#include "DataSet.h"
#include "DefaultAxis.h"
#include "EventCounting.h"

constexpr int32_t kCountAxis = -1;  // "Count" chosen up: a histogram
constexpr int32_t kHistogramBins = 256;
constexpr int32_t kDensityBins = 256;  // across and up

struct PlotChoice {
    int32_t x = 0;  // parameter across, counted from 0
    ScaleKind xScale = ScaleKind::kLinear;
    int32_t y = kCountAxis;  // parameter up, or kCountAxis
    ScaleKind yScale = ScaleKind::kLinear;

    bool IsDensity() const { return y != kCountAxis; }
};

// The choice a new plot of a parameter starts with: a histogram on the parameter's default
// scale, "Count" up; the up scale preset to that of the parameter after it (for when the user
// picks one).
PlotChoice FirstChoice(const DataSet& dataSet, int32_t parameter);

// The default scale of a parameter, by the engine's rule.
ScaleKind DefaultScaleOf(const DataSet& dataSet, int32_t parameter);

// The axis of a parameter on a chosen scale: the parameter's default range, with the scale's
// default parameters. A range the scale does not suit (a log scale from 0 or below) follows the
// log scale's own default rule. rangeFromData: the range is still to be taken from the data.
AxisChoice AxisFor(const DataSet& dataSet, int32_t parameter, ScaleKind scale, int32_t bins);

// The counting request of a choice over axes whose ranges are known.
CountingRequests RequestsFor(const PlotChoice& choice, const AxisSpec& x, const AxisSpec& y);

// How an axis of a scale places its ticks.
TickStyle TickStyleOf(ScaleKind scale);
