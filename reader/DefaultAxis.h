// The axis a parameter is shown on when the user has not chosen one, decided by its keywords:
//
// - Range: 0 to $PnR when $PnR is a positive number; otherwise the data's own lowest and highest
//   values. A display hint $PnD (FCS 3.1) overrides it: "Linear,lower,upper" gives lower to
//   upper, "Logarithmic,decades,offset" gives offset to offset * 10^decades.
// - Scale: the one $PnD names; else linear for scatter and time parameters ($PnN beginning with
//   FSC, SSC or Time, in any case) and for log-amplified integer data ($PnE with f1 > 0, whose
//   channels are already logarithmic); else logicle (T the range's upper end, W 0.5, M 4.5,
//   A 0).
// - A log scale chosen without a range, whose range would then start at 0 or below, starts
//   kLogDefaultDecades decades below its upper end instead (FitLogRange).
//
// Keyword names are compared without regard to case.
#pragma once

#include <cstdint>

#include "Axis.h"
#include "DataSet.h"
#include "EventCounting.h"

constexpr double kLogDefaultDecades = 4.5;

struct AxisChoice {
    AxisSpec spec;
    bool rangeFromData = false;  // the range is still to be taken from the data (FitToData)
};

// parameter counted from 0 and within the data set's parameters.
AxisChoice DefaultAxis(const DataSet& dataSet, int32_t parameter, int32_t bins);

// The range of a choice that takes it from the data: the extent's lowest value up to just above
// its highest, so that the highest value lies in the last bin. A parameter without finite values
// gets 0 to 1. A logicle scale whose T followed the old upper end follows the new one.
AxisSpec FitToData(const AxisSpec& spec, const ParameterExtent& extent);

// A log axis whose range starts at 0 or below starts kLogDefaultDecades below its upper end;
// every other axis is left as it is. For ranges the user did not give.
AxisSpec FitLogRange(const AxisSpec& spec);
