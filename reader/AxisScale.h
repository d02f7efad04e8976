// The scales by which events are binned and plotted: linear, log, logicle and asinh. A scale
// maps a data value x to its position t(x) on the axis (Forward) and back (Inverse); bins are
// equally wide in t. Portable, so the viewer, the tools and the tests share one definition.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class ScaleKind { kLinear, kLog, kLogicle, kAsinh };

// Logicle's four parameters: T the top of the data range, W the width of the linear part in
// decades, M the decades the whole display spans, A the extra negative decades.
struct LogicleParameters {
    double t = 0;  // 0: the axis's upper end (see ResolveScale)
    double w = 0.5;
    double m = 4.5;
    double a = 0;
};

constexpr double kDefaultCofactor = 150;  // asinh; 5 is the usual choice for mass cytometry

struct ScaleSpec {
    ScaleKind kind = ScaleKind::kLinear;
    LogicleParameters logicle;           // for kLogicle
    double cofactor = kDefaultCofactor;  // for kAsinh
};

// Why a scale cannot be made. Each has its own message (ScaleProblemText).
enum class ScaleProblem {
    kNone,
    kLogicleTop,       // T > 0
    kLogicleDecades,   // M > 0
    kLogicleWidth,     // 0 <= W <= M/2
    kLogicleNegative,  // -W <= A <= M - 2W
    kCofactor,         // c > 0
};

// The names used on command lines and in JSON: "linear", "log", "logicle", "asinh".
const char* ScaleName(ScaleKind kind);
bool ScaleFromName(std::string_view name, ScaleKind& kind);
// A logicle scale whose T is 0 takes the axis's upper end; every other scale is left as it is.
ScaleSpec ResolveScale(const ScaleSpec& scale, double high);
ScaleProblem CheckScale(const ScaleSpec& scale);
// The message for a problem, naming the values that are allowed.
std::string ScaleProblemText(ScaleProblem problem);

// One scale made ready for use: logicle's constants are worked out once. A scale with a problem
// (CheckScale) maps everything to NaN.
class AxisScale {
public:
    AxisScale() = default;
    explicit AxisScale(const ScaleSpec& spec);

    const ScaleSpec& Spec() const { return spec; }
    // t(x). Log maps x <= 0 to -infinity. Logicle has no closed form in this direction: it is
    // solved to full double precision, which is far too slow to do per event; bins use edges
    // made through Inverse instead.
    double Forward(double x) const;
    // x(t), the data value at position t.
    double Inverse(double t) const;

private:
    double LogicleInverse(double t) const;
    double LogicleForward(double x) const;

    static constexpr int kTaylorTerms = 16;

    ScaleSpec spec;
    bool usable = false;
    // Logicle: x(t) = a e^(bt) - c e^(-dt) + f above x1, mirrored below it, and a Taylor series
    // about x1 where the two exponentials nearly cancel.
    double a = 0, b = 0, c = 0, d = 0, f = 0;
    double x1 = 0;
    double xTaylor = 0;
    double taylor[kTaylorTerms] = {};
};
