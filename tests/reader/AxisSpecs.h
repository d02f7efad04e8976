// The axes the engine's tests ask for: a scale over [low, high) in bins, resolved as a request
// would be (logicle's T following the range's upper end).
#pragma once

#include <cstdint>

#include "Axis.h"
#include "AxisScale.h"

inline AxisSpec Spec(ScaleKind kind, double low, double high, int32_t bins) {
    AxisSpec spec;
    spec.scale.kind = kind;
    spec.low = low;
    spec.high = high;
    spec.bins = bins;
    spec.scale = ResolveScale(spec.scale, high);
    return spec;
}
