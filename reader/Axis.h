// An axis of a histogram or density map: a scale, a range [low, high) and a number of bins
// equally wide in the scale's space. A value x falls in bin floor(K (t(x) - t(low)) /
// (t(high) - t(low))) when t(low) <= t(x) < t(high), computed in double precision; below that it
// is below, at or above t(high) above, and NaN is invalid.
//
// Binning is done in data space: the axis works out, once, the K + 1 edges at which the bin
// changes, so that an event costs a table look-up and a comparison or two instead of a
// logarithm or, for logicle, a root search. For linear, log and asinh the edges are the exact
// points where the formula above changes its answer, so binning by edges gives what the formula
// gives; logicle has no closed forward form and its edges are its closed inverse at the bins'
// boundaries.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "AxisScale.h"

constexpr int32_t kMaxBins = 65536;

struct AxisSpec {
    ScaleSpec scale;
    double low = 0;
    double high = 1;
    int32_t bins = 256;
};

enum class AxisProblemKind {
    kNone,
    kBins,    // outside 1..kMaxBins
    kRange,   // low >= high, a bound that is not finite, or a span the scale cannot divide
    kLogLow,  // a log scale whose low end is 0 or below
    kScale,   // the scale's own parameters (scaleProblem)
};

struct AxisProblem {
    AxisProblemKind kind = AxisProblemKind::kNone;
    ScaleProblem scaleProblem = ScaleProblem::kNone;
    bool Ok() const { return kind == AxisProblemKind::kNone; }
};

// Checks a spec whose scale ResolveScale has already completed.
AxisProblem CheckAxis(const AxisSpec& spec);
std::string AxisProblemText(const AxisProblem& problem);

class Axis {
public:
    // Where a value lies: below the range, in bin Position() - 1, or above it.
    static constexpr int32_t kBelow = 0;
    static constexpr int32_t kInvalid = -1;  // NaN

    Axis() = default;
    // spec must pass CheckAxis after ResolveScale; an axis of a spec that does not has one bin
    // with NaN edges, and it and a default axis count every value as invalid.
    explicit Axis(const AxisSpec& spec);

    const AxisSpec& Spec() const { return spec; }
    const AxisScale& Scale() const { return scale; }
    int32_t Bins() const { return spec.bins; }
    // Position() of a value above the range.
    int32_t Above() const { return spec.bins + 1; }
    // The K + 1 edges in data space: bin k holds edges[k] <= x < edges[k + 1]; edges[0] is low
    // and edges[K] is high, up to the rounding of the scale.
    const std::vector<double>& Edges() const { return edges; }

    // kInvalid for NaN, kBelow, 1 + the bin, or Above().
    int32_t Position(double x) const {
        if (x != x || cells == nullptr) {
            return kInvalid;
        }
        const uint32_t cell = CellOf(x);
        int32_t lowest = cells[cell];
        int32_t highest = cells[cell + 1];
        if (highest - lowest <= 1) {
            // At most one edge in the cell: one comparison, without a branch to mispredict. The
            // edge after the last is NaN, which no value reaches.
            return lowest + (x >= searchEdges[lowest] ? 1 : 0);
        }
        // Several edges in the cell (bins narrower than it): search them.
        while (lowest < highest) {
            const int32_t middle = lowest + (highest - lowest) / 2;
            if (x >= searchEdges[middle]) {
                lowest = middle + 1;
            } else {
                highest = middle;
            }
        }
        return lowest;
    }
    // The same by the formula itself, for tests and for making the edges; logicle solves t(x).
    int32_t PositionByFormula(double x) const;

private:
    // Values are looked up by the top bits of their single-precision form, ordered like the
    // values themselves: 131072 cells, each 1/256 of a binade wide. Beyond the floats the
    // conversion is undefined; those values go to the cells of the infinities.
    static constexpr int kCellShift = 15;
    static constexpr double kFloatMax = 3.40282346638528859811704183484516925440e+38;
    static uint32_t OrderedBits(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return (bits >> 31) != 0 ? ~bits : bits | 0x80000000u;
    }
    static uint32_t CellOf(double x) {
        const float single = x > kFloatMax    ? std::numeric_limits<float>::infinity()
                             : x < -kFloatMax ? -std::numeric_limits<float>::infinity()
                                              : static_cast<float>(x);
        return OrderedBits(single) >> kCellShift;
    }
    // The least double whose cell is cell or a later one.
    static double CellStart(uint32_t cell);
    void MakeEdges();
    void MakeCells();

    AxisSpec spec;
    AxisScale scale;
    double lowT = 0;
    double spanT = 0;
    std::vector<double> edges;
    // cells[c]: how many edges lie at or below the least value of cell c, so that a value whose
    // cell is c has a position from cells[c] to cells[c + 1]. searchEdges: the edges and a NaN
    // after them. Copies of an axis share both.
    struct Table {
        std::vector<int32_t> cells;
        std::vector<double> searchEdges;
    };
    std::shared_ptr<const Table> table;
    const int32_t* cells = nullptr;
    const double* searchEdges = nullptr;
};
