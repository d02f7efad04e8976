// The axes of a plot. The range of a parameter is decided once, by the engine's default rule,
// whatever scale the user picks; only where that range cannot be shown on the chosen scale (a
// log scale cannot start at 0) does the scale's own default take over.
#include "PlotChoice.h"

ScaleKind DefaultScaleOf(const DataSet& dataSet, int32_t parameter) {
    return DefaultAxis(dataSet, parameter, kHistogramBins).spec.scale.kind;
}

PlotChoice FirstChoice(const DataSet& dataSet, int32_t parameter) {
    PlotChoice choice;
    choice.x = parameter;
    choice.xScale = DefaultScaleOf(dataSet, parameter);
    const int32_t count = static_cast<int32_t>(dataSet.parameters.size());
    choice.yScale = DefaultScaleOf(dataSet, count > 1 ? (parameter + 1) % count : parameter);
    return choice;
}

AxisChoice AxisFor(const DataSet& dataSet, int32_t parameter, ScaleKind scale, int32_t bins) {
    AxisChoice choice = DefaultAxis(dataSet, parameter, bins);
    if (choice.spec.scale.kind != scale) {
        // The chosen scale with its own defaults (logicle's T follows the range's upper end).
        ScaleSpec chosen;
        chosen.kind = scale;
        choice.spec.scale = chosen;
    }
    if (!choice.rangeFromData) {
        choice.spec = FitLogRange(choice.spec);
    }
    return choice;
}

CountingRequests RequestsFor(const PlotChoice& choice, const AxisSpec& x, const AxisSpec& y) {
    CountingRequests requests;
    if (choice.IsDensity()) {
        DensityRequest density;
        density.xParameter = choice.x;
        density.yParameter = choice.y;
        density.x = x;
        density.y = y;
        requests.densities.push_back(density);
    } else {
        HistogramRequest histogram;
        histogram.parameter = choice.x;
        histogram.axis = x;
        requests.histograms.push_back(histogram);
    }
    return requests;
}

TickStyle TickStyleOf(ScaleKind scale) {
    switch (scale) {
        case ScaleKind::kLinear:
            return TickStyle::kLinear;
        case ScaleKind::kLog:
            return TickStyle::kDecades;
        case ScaleKind::kLogicle:
        case ScaleKind::kAsinh:
            return TickStyle::kSymmetricDecades;
    }
    return TickStyle::kLinear;
}
