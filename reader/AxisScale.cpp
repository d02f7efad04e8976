// The scales and their domains. Logicle follows Parks, Roederer and Moore (2006): its inverse is
// a biexponential with a closed form, worked out here once per scale; near its zero the two
// exponentials nearly cancel, so a Taylor series about that point takes over there.
#include "AxisScale.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kLn10 = 2.302585092994045684;
// Bisection steps: each halves the interval, and 1100 of them span every double.
constexpr int kMaxBisections = 1100;

struct NamedScale {
    ScaleKind kind;
    const char* name;
};
constexpr NamedScale kScaleNames[] = {{ScaleKind::kLinear, "linear"},
                                      {ScaleKind::kLog, "log"},
                                      {ScaleKind::kLogicle, "logicle"},
                                      {ScaleKind::kAsinh, "asinh"}};

// The d of logicle, the root of 2 ln(d / b) + w (b + d) = 0 in (0, b]: the left side rises
// with d, is 2wb at b and falls without bound towards 0, so bisection always finds it.
double SolveLogicleD(double b, double w) {
    if (w == 0) {
        return b;
    }
    double low = 0;
    double high = b;
    for (int i = 0; i < kMaxBisections; ++i) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high) {
            break;
        }
        if (2 * std::log(middle / b) + w * (b + middle) < 0) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low + (high - low) / 2;
}

}  // namespace

const char* ScaleName(ScaleKind kind) {
    for (const NamedScale& named : kScaleNames) {
        if (named.kind == kind) {
            return named.name;
        }
    }
    return "";
}

bool ScaleFromName(std::string_view name, ScaleKind& kind) {
    for (const NamedScale& named : kScaleNames) {
        if (name == named.name) {
            kind = named.kind;
            return true;
        }
    }
    return false;
}

ScaleSpec ResolveScale(const ScaleSpec& scale, double high) {
    ScaleSpec resolved = scale;
    if (resolved.kind == ScaleKind::kLogicle && resolved.logicle.t == 0) {
        resolved.logicle.t = high;
    }
    return resolved;
}

ScaleProblem CheckScale(const ScaleSpec& scale) {
    switch (scale.kind) {
        case ScaleKind::kLogicle: {
            const LogicleParameters& p = scale.logicle;
            if (!(p.t > 0) || !std::isfinite(p.t)) {
                return ScaleProblem::kLogicleTop;
            }
            if (!(p.m > 0) || !std::isfinite(p.m)) {
                return ScaleProblem::kLogicleDecades;
            }
            if (!(p.w >= 0 && p.w <= p.m / 2)) {
                return ScaleProblem::kLogicleWidth;
            }
            if (!(p.a >= -p.w && p.a <= p.m - 2 * p.w)) {
                return ScaleProblem::kLogicleNegative;
            }
            return ScaleProblem::kNone;
        }
        case ScaleKind::kAsinh:
            return scale.cofactor > 0 && std::isfinite(scale.cofactor) ? ScaleProblem::kNone
                                                                       : ScaleProblem::kCofactor;
        case ScaleKind::kLinear:
        case ScaleKind::kLog:
            break;
    }
    return ScaleProblem::kNone;
}

std::string ScaleProblemText(ScaleProblem problem) {
    switch (problem) {
        case ScaleProblem::kNone:
            break;
        case ScaleProblem::kLogicleTop:
            return "logicle needs T > 0 (T is the top of the range)";
        case ScaleProblem::kLogicleDecades:
            return "logicle needs M > 0";
        case ScaleProblem::kLogicleWidth:
            return "logicle needs 0 <= W <= M/2";
        case ScaleProblem::kLogicleNegative:
            return "logicle needs -W <= A <= M - 2W";
        case ScaleProblem::kCofactor:
            return "asinh needs a cofactor above 0";
    }
    return {};
}

AxisScale::AxisScale(const ScaleSpec& scaleSpec) : spec(scaleSpec) {
    usable = CheckScale(spec) == ScaleProblem::kNone;
    if (!usable || spec.kind != ScaleKind::kLogicle) {
        return;
    }
    const LogicleParameters& p = spec.logicle;
    const double decades = p.m + p.a;
    const double w = p.w / decades;
    const double x2 = p.a / decades;
    x1 = x2 + w;
    const double x0 = x2 + 2 * w;
    b = decades * kLn10;
    d = SolveLogicleD(b, w);
    const double ca = std::exp(x0 * (b + d));
    const double mfa = std::exp(b * x1) - ca / std::exp(d * x1);
    a = p.t / ((std::exp(b) - mfa) - ca / std::exp(d));
    c = ca * a;
    f = -mfa * a;
    xTaylor = x1 + w / 4;
    // The k-th derivative of x(t) at x1 over k!; the second is 0 there by the choice of d.
    double positive = a * std::exp(b * x1);
    double negative = -c / std::exp(d * x1);
    for (int k = 0; k < kTaylorTerms; ++k) {
        positive *= b / (k + 1);
        negative *= -d / (k + 1);
        taylor[k] = positive + negative;
    }
    taylor[1] = 0;
}

double AxisScale::Forward(double x) const {
    if (!usable) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    switch (spec.kind) {
        case ScaleKind::kLinear:
            return x;
        case ScaleKind::kLog:
            return x > 0 ? std::log10(x) : (x != x ? x : -std::numeric_limits<double>::infinity());
        case ScaleKind::kLogicle:
            return LogicleForward(x);
        case ScaleKind::kAsinh:
            return std::asinh(x / spec.cofactor);
    }
    return x;
}

double AxisScale::Inverse(double t) const {
    if (!usable) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    switch (spec.kind) {
        case ScaleKind::kLinear:
            return t;
        case ScaleKind::kLog:
            return std::pow(10.0, t);
        case ScaleKind::kLogicle:
            return LogicleInverse(t);
        case ScaleKind::kAsinh:
            return spec.cofactor * std::sinh(t);
    }
    return t;
}

double AxisScale::LogicleInverse(double t) const {
    if (t != t) {
        return t;
    }
    // The function is odd about x1: values below it mirror those above.
    const bool negative = t < x1;
    if (negative) {
        t = 2 * x1 - t;
    }
    double x;
    if (t < xTaylor) {
        const double step = t - x1;
        x = 0;
        for (int k = kTaylorTerms; k-- > 0;) {
            x = (x + taylor[k]) * step;
        }
    } else {
        x = (a * std::exp(b * t) + f) - c / std::exp(d * t);
    }
    return negative ? -x : x;
}

double AxisScale::LogicleForward(double x) const {
    if (x != x) {
        return x;
    }
    if (std::isinf(x)) {
        return x;
    }
    if (x == 0) {
        return x1;
    }
    const bool negative = x < 0;
    const double target = std::fabs(x);
    // x(t) rises from 0 at x1; find a t above the target, then halve the interval to the last
    // bit.
    double low = x1;
    double high = x1 + 1;
    while (LogicleInverse(high) < target) {
        low = high;
        high = x1 + 2 * (high - x1);
    }
    for (int i = 0; i < kMaxBisections; ++i) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high) {
            break;
        }
        if (LogicleInverse(middle) < target) {
            low = middle;
        } else {
            high = middle;
        }
    }
    // Of the two neighbours, the one whose value is nearer.
    const double t = target - LogicleInverse(low) <= LogicleInverse(high) - target ? low : high;
    return negative ? 2 * x1 - t : t;
}
