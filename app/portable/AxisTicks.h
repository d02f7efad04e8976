// Where an axis gets its ticks and what their labels say, for each kind of scale: round steps of
// 1, 2 or 5 times a power of ten on a linear axis; decades (with unlabelled ticks at 2..9 times
// each) on a log axis; and on the scales that pass through zero (logicle, asinh) zero with the
// decades on either side of it that the range shows. Labels that would crowd each other (the
// small decades near zero on those scales) are left out, larger values first kept.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class TickStyle {
    kLinear,            // round steps
    kDecades,           // 10^k, for axes of positive values only
    kSymmetricDecades,  // 0 and +-10^k
};

struct AxisTick {
    double value = 0;
    double fraction = 0;  // where the value sits along the axis, 0..1
    std::wstring label;   // empty for an unlabelled (minor) tick
};

// Where a value of the axis sits along it, as a fraction 0..1 of its length: the scale's own
// transform, relative to its range.
using AxisPosition = std::function<double(double value)>;

// The ticks of an axis over [lo, hi] in increasing order. minLabelGap is the least distance
// between two labels, as a fraction of the axis's length.
std::vector<AxisTick> PlaceTicks(TickStyle style,
                                 double lo,
                                 double hi,
                                 const AxisPosition& position,
                                 double minLabelGap);

// The round step that gives at most about `most` steps over span (> 0): 1, 2 or 5 times a
// power of ten.
double RoundStep(double span, int most);

// The label of a tick value: at most twelve significant digits, decades beyond 10^4 and below
// 10^-2 as 1e5 or 1e-3, and never a negative zero.
std::wstring TickLabel(double value);
