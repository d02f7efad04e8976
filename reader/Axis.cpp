// Axes: their checks and their edges in data space. Edges of linear, log and asinh axes are
// found by searching the doubles for the first one at which the binning formula changes its
// answer, so that binning an event by edges never differs from the formula, whatever rounding
// the scale's functions do.
#include "Axis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Ulps by which the search for an edge widens its bracket at first.
constexpr int kWidenings = 64;

// Doubles in the order of their values as unsigned integers, infinities at the ends.
uint64_t OrderedDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
}

double DoubleOfOrdered(uint64_t key) {
    const uint64_t bits = (key >> 63) != 0 ? key & ~(uint64_t{1} << 63) : ~key;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

AxisProblem CheckAxis(const AxisSpec& spec) {
    AxisProblem problem;
    if (spec.bins < 1 || spec.bins > kMaxBins) {
        problem.kind = AxisProblemKind::kBins;
        return problem;
    }
    if (!std::isfinite(spec.low) || !std::isfinite(spec.high) || !(spec.low < spec.high)) {
        problem.kind = AxisProblemKind::kRange;
        return problem;
    }
    if (spec.scale.kind == ScaleKind::kLog && spec.low <= 0) {
        problem.kind = AxisProblemKind::kLogLow;
        return problem;
    }
    problem.scaleProblem = CheckScale(spec.scale);
    if (problem.scaleProblem != ScaleProblem::kNone) {
        problem.kind = AxisProblemKind::kScale;
        return problem;
    }
    // A span the scale cannot divide: one too wide for a double, or too narrow to tell apart.
    const AxisScale scale(spec.scale);
    const double span = scale.Forward(spec.high) - scale.Forward(spec.low);
    if (!std::isfinite(span) || !(span > 0) ||
        !std::isfinite(static_cast<double>(spec.bins) * span)) {
        problem.kind = AxisProblemKind::kRange;
    }
    return problem;
}

std::string AxisProblemText(const AxisProblem& problem) {
    switch (problem.kind) {
        case AxisProblemKind::kNone:
            break;
        case AxisProblemKind::kBins:
            return "the number of bins must be 1 to " + std::to_string(kMaxBins);
        case AxisProblemKind::kRange:
            return "a range LO:HI needs finite numbers with LO below HI that the scale tells apart";
        case AxisProblemKind::kLogLow:
            return "a log scale needs a range that starts above 0";
        case AxisProblemKind::kScale:
            return ScaleProblemText(problem.scaleProblem);
    }
    return {};
}

Axis::Axis(const AxisSpec& axisSpec) : spec(axisSpec), scale(axisSpec.scale) {
    if (!CheckAxis(spec).Ok()) {
        // Every value is invalid: one bin whose edges are NaN, which no comparison passes.
        spec.bins = 1;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        edges.assign(2, nan);
        return;
    }
    lowT = scale.Forward(spec.low);
    spanT = scale.Forward(spec.high) - lowT;
    MakeEdges();
    MakeCells();
}

int32_t Axis::PositionByFormula(double x) const {
    if (x != x || edges.empty() || edges[0] != edges[0]) {
        return kInvalid;
    }
    const double t = scale.Forward(x);
    if (!(t >= lowT)) {
        return kBelow;
    }
    if (t >= lowT + spanT) {
        return Above();
    }
    const double bin = std::floor(spec.bins * (t - lowT) / spanT);
    return 1 + static_cast<int32_t>(std::clamp(bin, 0.0, static_cast<double>(spec.bins - 1)));
}

void Axis::MakeEdges() {
    const int32_t bins = spec.bins;
    edges.resize(static_cast<size_t>(bins) + 1);
    for (int32_t k = 0; k <= bins; ++k) {
        const double estimate = k == 0      ? spec.low
                                : k == bins ? spec.high
                                            : scale.Inverse(lowT + spanT * k / bins);
        edges[static_cast<size_t>(k)] = estimate;
    }
    if (spec.scale.kind != ScaleKind::kLogicle) {
        // Edge k is the least x whose position reaches k + 1: bracket it around the estimate,
        // then halve the bracket in the order of the doubles.
        for (int32_t k = 0; k <= bins; ++k) {
            const int32_t wanted = k + 1;
            const double estimate = edges[static_cast<size_t>(k)];
            uint64_t key = OrderedDouble(std::isnan(estimate) ? 0.0 : estimate);
            const uint64_t lowest = OrderedDouble(-std::numeric_limits<double>::infinity());
            const uint64_t highest = OrderedDouble(std::numeric_limits<double>::infinity());
            uint64_t below = lowest;     // position under wanted
            uint64_t reached = highest;  // position at or over wanted
            uint64_t step = 1;
            if (PositionByFormula(DoubleOfOrdered(key)) >= wanted) {
                reached = key;
                for (int i = 0; i < kWidenings && key > lowest; ++i, step *= 2) {
                    key = key - lowest > step ? key - step : lowest;
                    if (PositionByFormula(DoubleOfOrdered(key)) < wanted) {
                        below = key;
                        break;
                    }
                    reached = key;
                }
            } else {
                below = key;
                for (int i = 0; i < kWidenings && key < highest; ++i, step *= 2) {
                    key = highest - key > step ? key + step : highest;
                    if (PositionByFormula(DoubleOfOrdered(key)) >= wanted) {
                        reached = key;
                        break;
                    }
                    below = key;
                }
            }
            while (reached - below > 1) {
                const uint64_t middle = below + (reached - below) / 2;
                if (PositionByFormula(DoubleOfOrdered(middle)) >= wanted) {
                    reached = middle;
                } else {
                    below = middle;
                }
            }
            // -0 and 0 bin alike; the edge is written as 0.
            const double edge = DoubleOfOrdered(reached);
            edges[static_cast<size_t>(k)] = edge == 0 ? 0.0 : edge;
        }
    }
    // Searches need edges in order, which rounding of the scale's functions could upset by a bit.
    for (size_t k = 1; k < edges.size(); ++k) {
        edges[k] = std::max(edges[k], edges[k - 1]);
    }
}

double Axis::CellStart(uint32_t cell) {
    const uint32_t key = cell << kCellShift;
    const auto single = [](uint32_t ordered) {
        const uint32_t bits = (ordered >> 31) != 0 ? ordered & 0x7FFFFFFFu : ~ordered;
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return static_cast<double>(value);
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const double lowest = single(key);
    if (lowest != lowest) {
        // Cells of NaN patterns lie beyond the infinities on their side.
        return (key >> 31) != 0 ? infinity : -infinity;
    }
    if (lowest == infinity) {
        return std::nextafter(kFloatMax, infinity);  // every larger value goes to this cell
    }
    if (lowest == -infinity || lowest == -kFloatMax) {
        return lowest;  // values below -kFloatMax go to the cell of -infinity
    }
    // Doubles from halfway between the float below and this one round to this one.
    return (single(key - 1) + lowest) / 2;
}

void Axis::MakeCells() {
    constexpr uint32_t kCellCount = uint32_t{1} << (32 - kCellShift);
    auto made = std::make_shared<Table>();
    made->cells.resize(kCellCount + 1);
    // Cells start at rising values, so one walk along the edges counts them for every cell.
    // Most cells lie between edges and share the count of the cell before: the walk leaps to
    // the cell before the next edge's one when that cell still starts below the edge.
    size_t below = 0;
    for (uint32_t cell = 0; cell < kCellCount; ++cell) {
        if (below == edges.size()) {
            std::fill(made->cells.begin() + cell, made->cells.begin() + kCellCount,
                      static_cast<int32_t>(below));
            break;
        }
        const uint32_t edgeCell = CellOf(edges[below]);
        if (edgeCell > cell + 1 && CellStart(edgeCell - 1) < edges[below]) {
            std::fill(made->cells.begin() + cell, made->cells.begin() + edgeCell,
                      static_cast<int32_t>(below));
            cell = edgeCell - 1;
            continue;
        }
        const double start = CellStart(cell);
        while (below < edges.size() && edges[below] <= start) {
            ++below;
        }
        made->cells[cell] = static_cast<int32_t>(below);
    }
    made->cells[kCellCount] = Above();
    made->searchEdges = edges;
    made->searchEdges.push_back(std::numeric_limits<double>::quiet_NaN());
    cells = made->cells.data();
    searchEdges = made->searchEdges.data();
    table = std::move(made);
}
