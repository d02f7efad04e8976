// Scales and axes: logicle's published values and its round trip, edges and bins of every
// scale, the table look-up against the formula itself, and the requests that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "Axis.h"
#include "AxisScale.h"
#include "AxisSpecs.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

ScaleSpec Logicle(double t, double w, double m, double a) {
    ScaleSpec spec;
    spec.kind = ScaleKind::kLogicle;
    spec.logicle = {t, w, m, a};
    return spec;
}

TEST(LogicleScale, PublishedValues) {
    const AxisScale scale(Logicle(1000, 1, 4, 0));
    const double inputs[] = {-10, -5, -1, 0, 0.3, 1, 3, 10, 100, 1000};
    const double outputs[] = {0.067574, 0.147986, 0.228752, 0.25,     0.256384,
                              0.271248, 0.312897, 0.432426, 0.739548, 1.0};
    for (size_t i = 0; i < std::size(inputs); ++i) {
        EXPECT_NEAR(scale.Forward(inputs[i]), outputs[i], 0.5e-6) << inputs[i];
        EXPECT_NEAR(scale.Inverse(outputs[i]), inputs[i], 1e-3 * std::fabs(inputs[i]) + 1e-3)
            << outputs[i];
    }
}

TEST(LogicleScale, InverseUndoesForwardAcrossTheRange) {
    for (const ScaleSpec& spec :
         {Logicle(262144, 0.5, 4.5, 0), Logicle(1000, 1, 4, 0), Logicle(262144, 1, 4.5, 0.5),
          Logicle(262144, 0, 4.5, 0), Logicle(10000, 2, 4, -2)}) {
        const AxisScale scale(spec);
        for (double x = -1000; x <= 262144; x = x < 0 ? x * 0.93 + 0.01 : x * 1.07 + 0.013) {
            // Within a unit of zero t has no finer steps than about 1e-13 of x: there the round
            // trip holds to 1e-9 absolute.
            const double back = scale.Inverse(scale.Forward(x));
            EXPECT_LE(std::fabs(back - x), 1e-9 * std::max(std::fabs(x), 1.0))
                << x << " W " << spec.logicle.w;
        }
        EXPECT_EQ(scale.Inverse(scale.Forward(0)), 0);
        EXPECT_DOUBLE_EQ(scale.Forward(spec.logicle.t), 1);
    }
}

TEST(Scales, ForwardAndInverse) {
    ScaleSpec log;
    log.kind = ScaleKind::kLog;
    EXPECT_EQ(AxisScale(log).Forward(1000), 3);
    EXPECT_EQ(AxisScale(log).Forward(0), -kInfinity);
    EXPECT_EQ(AxisScale(log).Forward(-5), -kInfinity);
    ScaleSpec asinh;
    asinh.kind = ScaleKind::kAsinh;
    asinh.cofactor = 5;
    EXPECT_DOUBLE_EQ(AxisScale(asinh).Forward(5 * std::sinh(2.0)), 2);
    EXPECT_DOUBLE_EQ(AxisScale(asinh).Inverse(2), 5 * std::sinh(2.0));
    EXPECT_EQ(asinh.cofactor, 5);
    EXPECT_EQ(ScaleSpec{}.cofactor, 150);
    ScaleKind kind;
    for (ScaleKind k :
         {ScaleKind::kLinear, ScaleKind::kLog, ScaleKind::kLogicle, ScaleKind::kAsinh}) {
        ASSERT_TRUE(ScaleFromName(ScaleName(k), kind));
        EXPECT_EQ(kind, k);
    }
    EXPECT_FALSE(ScaleFromName("Log", kind));
}

TEST(Axes, LinearEdgesAndPositions) {
    const Axis axis(Spec(ScaleKind::kLinear, 0, 10, 10));
    ASSERT_EQ(axis.Edges().size(), 11u);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(axis.Edges()[static_cast<size_t>(k)], k);
    }
    EXPECT_EQ(axis.Position(0), 1);  // exactly at LO: bin 0
    EXPECT_EQ(axis.Position(9.999), 10);
    EXPECT_EQ(axis.Position(10), axis.Above());  // exactly at HI: above
    EXPECT_EQ(axis.Position(-1e-300), Axis::kBelow);
    EXPECT_EQ(axis.Position(kInfinity), axis.Above());
    EXPECT_EQ(axis.Position(-kInfinity), Axis::kBelow);
    EXPECT_EQ(axis.Position(kNaN), Axis::kInvalid);
    EXPECT_EQ(axis.Position(1e300), axis.Above());
    EXPECT_EQ(axis.Position(-1e300), Axis::kBelow);
}

TEST(Axes, LogAndAsinhEdgesLieOnTheScale) {
    const Axis log(Spec(ScaleKind::kLog, 1, 1000, 3));
    // Each edge is the first double whose logarithm reaches the bin: a decade or a double a few
    // steps below it, where log10 rounds those up already.
    const double decades[] = {1, 10, 100, 1000};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(log.Edges()[k], decades[k], decades[k] * 1e-14);
        EXPECT_EQ(std::log10(log.Edges()[k]), static_cast<double>(k));
        EXPECT_LT(std::log10(std::nextafter(log.Edges()[k], 0.0)), static_cast<double>(k));
    }
    EXPECT_EQ(log.Position(0), Axis::kBelow);
    EXPECT_EQ(log.Position(-3), Axis::kBelow);
    EXPECT_EQ(log.Position(10), 2);
    EXPECT_EQ(log.Position(999), 3);

    AxisSpec spec = Spec(ScaleKind::kAsinh, -100, 1000, 8);
    spec.scale.cofactor = 5;
    const Axis asinh(spec);
    const double lowT = std::asinh(-100 / 5.0);
    const double spanT = std::asinh(1000 / 5.0) - lowT;
    for (int k = 1; k < 8; ++k) {
        EXPECT_NEAR(asinh.Edges()[static_cast<size_t>(k)], 5 * std::sinh(lowT + spanT * k / 8),
                    1e-9 * 1000);
    }
}

TEST(Axes, LogicleEdgesComeFromTheInverse) {
    const Axis axis(Spec(ScaleKind::kLogicle, -100, 262144, 64));
    const std::vector<double>& edges = axis.Edges();
    EXPECT_EQ(edges.front(), -100);
    EXPECT_EQ(edges.back(), 262144);
    const double lowT = axis.Scale().Forward(-100);
    for (int k = 0; k < 64; ++k) {
        const double t = axis.Scale().Forward(edges[static_cast<size_t>(k)]);
        EXPECT_NEAR(t, lowT + (1 - lowT) * k / 64, 1e-12);
        EXPECT_EQ(axis.Position(edges[static_cast<size_t>(k)]), k + 1);
        EXPECT_EQ(axis.Position(std::nextafter(edges[static_cast<size_t>(k + 1)], -kInfinity)),
                  k + 1);
    }
}

// Binning by edges gives exactly what the formula gives, for every scale, at random values, at
// every edge and at its neighbours, whatever the number of bins.
TEST(Axes, TableLookUpAgreesWithTheFormula) {
    std::mt19937_64 random(7);
    const AxisSpec specs[] = {
        Spec(ScaleKind::kLinear, 0, 1000, 256),      Spec(ScaleKind::kLinear, -3.7, 1e6, 65536),
        Spec(ScaleKind::kLinear, 0.1, 0.3, 3),       Spec(ScaleKind::kLog, 1, 262144, 256),
        Spec(ScaleKind::kLog, 1e-3, 1e30, 1000),     Spec(ScaleKind::kAsinh, -500, 262144, 1024),
        Spec(ScaleKind::kLinear, -1e300, 1e300, 77), Spec(ScaleKind::kLogicle, 0, 262144, 256),
        Spec(ScaleKind::kLinear, -4e38, 4e38, 1000), Spec(ScaleKind::kLinear, -1e-39, 1e-39, 64)};
    for (const AxisSpec& spec : specs) {
        const Axis axis(spec);
        ASSERT_TRUE(CheckAxis(spec).Ok());
        const bool exact = spec.scale.kind != ScaleKind::kLogicle;
        std::uniform_real_distribution<double> wide(spec.low - (spec.high - spec.low) * 0.1,
                                                    spec.high + (spec.high - spec.low) * 0.1);
        std::vector<double> values;
        for (int i = 0; i < 2000; ++i) {
            values.push_back(wide(random));
            values.push_back(static_cast<float>(values.back()));
        }
        // Where single precision ends: the largest float, just beyond it and the subnormals.
        const double floatMax = std::numeric_limits<float>::max();
        for (double x : {floatMax, std::nextafter(floatMax, kInfinity), 3.5e38, 1e-40, 0.0}) {
            values.push_back(x);
            values.push_back(-x);
        }
        for (double edge : axis.Edges()) {
            values.push_back(edge);
            values.push_back(std::nextafter(edge, -kInfinity));
            values.push_back(std::nextafter(edge, kInfinity));
        }
        for (double x : values) {
            if (exact) {
                ASSERT_EQ(axis.Position(x), axis.PositionByFormula(x)) << x;
            } else {
                ASSERT_NEAR(axis.Position(x), axis.PositionByFormula(x), 1) << x;
            }
        }
    }
}

TEST(Axes, RefusedSpecsSayWhy) {
    struct Case {
        AxisSpec spec;
        const char* text;
    };
    AxisSpec asinh = Spec(ScaleKind::kAsinh, 0, 10, 4);
    asinh.scale.cofactor = 0;
    AxisSpec logicleTop = Spec(ScaleKind::kLogicle, -10, 10, 4);
    logicleTop.scale.logicle.t = -1;
    const Case cases[] = {
        {Spec(ScaleKind::kLinear, 0, 10, 0), "the number of bins must be 1 to 65536"},
        {Spec(ScaleKind::kLinear, 0, 10, 65537), "the number of bins must be 1 to 65536"},
        {Spec(ScaleKind::kLinear, 10, 10, 4),
         "a range LO:HI needs finite numbers with LO below HI that the scale tells apart"},
        {Spec(ScaleKind::kLinear, 10, 0, 4),
         "a range LO:HI needs finite numbers with LO below HI that the scale tells apart"},
        {Spec(ScaleKind::kLinear, -1.7e308, 1.7e308, 4),
         "a range LO:HI needs finite numbers with LO below HI that the scale tells apart"},
        {Spec(ScaleKind::kLog, 0, 10, 4), "a log scale needs a range that starts above 0"},
        {Spec(ScaleKind::kLogicle, -10, 0, 4), "logicle needs T > 0 (T is the top of the range)"},
        {logicleTop, "logicle needs T > 0 (T is the top of the range)"},
        {asinh, "asinh needs a cofactor above 0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AxisProblemText(CheckAxis(c.spec)), c.text) << c.text;
    }
    EXPECT_EQ(CheckScale(Logicle(1000, 0.5, 0, 0)), ScaleProblem::kLogicleDecades);
    EXPECT_EQ(CheckScale(Logicle(1000, 2.5, 4.5, 0)), ScaleProblem::kLogicleWidth);
    EXPECT_EQ(CheckScale(Logicle(1000, -0.1, 4.5, 0)), ScaleProblem::kLogicleWidth);
    EXPECT_EQ(CheckScale(Logicle(1000, 0.5, 4.5, -0.6)), ScaleProblem::kLogicleNegative);
    EXPECT_EQ(CheckScale(Logicle(1000, 0.5, 4.5, 3.6)), ScaleProblem::kLogicleNegative);
    EXPECT_EQ(CheckScale(Logicle(1000, 0.5, 4.5, 3.5)), ScaleProblem::kNone);
    // An axis made from a refused spec counts everything as invalid.
    const Axis refused(Spec(ScaleKind::kLog, 0, 10, 4));
    EXPECT_EQ(refused.Position(5), Axis::kInvalid);
    EXPECT_EQ(Axis().Position(5), Axis::kInvalid);
}

}  // namespace
