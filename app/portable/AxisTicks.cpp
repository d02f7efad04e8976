// Tick placement. Candidates are made per style, placed through the axis's own position
// function (so they sit exactly where the scale puts those values), and their labels thinned so
// that no two come closer than the gap asked for.
#include "AxisTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMostLinearSteps = 6;
constexpr double kStepSlack = 1e-9;
constexpr int kMostDecade = 300;  // beyond this a double has no decades to show
constexpr int kLargestPlainDecade = 4;
constexpr int kSmallestPlainDecade = -2;

// 10^k exactly as a double reads it: the correctly rounded value, which pow need not give.
double Decade(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", k);
    return std::strtod(text, nullptr);
}

std::wstring DecadeLabel(int k, bool negative) {
    wchar_t text[16];
    if (k >= kSmallestPlainDecade && k <= kLargestPlainDecade) {
        return TickLabel(negative ? -Decade(k) : Decade(k));
    }
    std::swprintf(text, 16, L"%ls1e%d", negative ? L"-" : L"", k);
    return text;
}

struct Candidate {
    double value;
    std::wstring label;  // empty: minor
    int priority;        // lower is kept first when labels crowd
    bool dropped = false;
};

void AddDecades(double lo, double hi, bool negative, bool withMinors, std::vector<Candidate>& out) {
    // The decades whose magnitude the side of the range holds.
    const double smallest = negative ? std::max(-hi, 0.0) : std::max(lo, 0.0);
    const double largest = negative ? -lo : hi;
    if (!(largest > 0)) {
        return;
    }
    int first = smallest > 0 ? static_cast<int>(std::floor(std::log10(smallest))) : -kMostDecade;
    int last = static_cast<int>(std::ceil(std::log10(largest)));
    first = std::max(first, last - kMostDecade / 10);  // zero's side shows some decades only
    for (int k = first; k <= last; ++k) {
        const double decade = Decade(k);
        for (int multiple = 1; multiple <= (withMinors ? 9 : 1); ++multiple) {
            const double magnitude = decade * multiple;
            const double value = negative ? -magnitude : magnitude;
            if (value < lo || value > hi) {
                continue;
            }
            if (multiple == 1) {
                // Larger decades are kept first: near zero the small ones crowd.
                out.push_back({value, DecadeLabel(k, negative), 2 * kMostDecade - k, false});
            } else {
                out.push_back({value, std::wstring(), 0, false});
            }
        }
    }
}

std::vector<Candidate> Candidates(TickStyle style, double lo, double hi) {
    std::vector<Candidate> out;
    switch (style) {
        case TickStyle::kLinear: {
            const double step = RoundStep(hi - lo, kMostLinearSteps);
            // The quotients of round values are a rounding away from whole numbers.
            const double slack = step * kStepSlack;
            for (double n = std::ceil((lo - slack) / step); n * step <= hi + slack; n += 1) {
                // A round value a rounding outside the range is its end.
                const double value = std::clamp(n * step, lo, hi);
                out.push_back({value, TickLabel(n * step), 1, false});
            }
            break;
        }
        case TickStyle::kDecades:
            AddDecades(lo, hi, false, true, out);
            break;
        case TickStyle::kSymmetricDecades:
            if (lo <= 0 && hi >= 0) {
                out.push_back({0, L"0", 0, false});
            }
            AddDecades(lo, hi, false, false, out);
            AddDecades(lo, hi, true, false, out);
            break;
    }
    return out;
}

}  // namespace

double RoundStep(double span, int most) {
    const double least = span / most;
    const double power = Decade(static_cast<int>(std::floor(std::log10(least))));
    for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * power >= least) {
            return multiple * power;
        }
    }
    return 10 * power;
}

std::wstring TickLabel(double value) {
    if (value == 0) {
        return L"0";
    }
    wchar_t text[40];
    std::swprintf(text, 40, L"%.12g", value);
    return text;
}

std::vector<AxisTick> PlaceTicks(TickStyle style,
                                 double lo,
                                 double hi,
                                 const AxisPosition& position,
                                 double minLabelGap) {
    std::vector<AxisTick> ticks;
    if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi)) {
        return ticks;
    }
    std::vector<Candidate> candidates = Candidates(style, lo, hi);
    std::vector<double> fractions;
    for (const Candidate& candidate : candidates) {
        fractions.push_back(position(candidate.value));
    }
    // Labels in order of priority, each kept only if no kept label is too close.
    std::vector<size_t> order(candidates.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return candidates[a].priority < candidates[b].priority;
    });
    std::vector<double> keptFractions;
    for (size_t i : order) {
        if (candidates[i].label.empty()) {
            continue;
        }
        const bool crowded =
            std::any_of(keptFractions.begin(), keptFractions.end(),
                        [&](double kept) { return std::fabs(kept - fractions[i]) < minLabelGap; });
        if (crowded) {
            // A crowded decade of a log axis still marks its place; elsewhere it goes.
            candidates[i].label.clear();
            candidates[i].dropped = style != TickStyle::kDecades;
        } else {
            keptFractions.push_back(fractions[i]);
        }
    }
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (!candidates[i].dropped && fractions[i] >= 0 && fractions[i] <= 1) {
            ticks.push_back({candidates[i].value, fractions[i], candidates[i].label});
        }
    }
    std::sort(ticks.begin(), ticks.end(),
              [](const AxisTick& a, const AxisTick& b) { return a.value < b.value; });
    return ticks;
}
