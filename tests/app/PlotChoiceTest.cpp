// What a new plot shows and how its axes follow the user's choices: the parameter's default
// scale, the parameter's range kept across scales except where the chosen scale cannot show it,
// the requests, and the titles the plot gives its parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FcsBuilder.h"
#include "PlotChoice.h"
#include "PlotTexts.h"
#include "ReaderTestSupport.h"

namespace {

// FSC-A (scatter: linear), FL1-A with a label (logicle), and a third without a name or range.
std::vector<uint8_t> PlotFile() {
    FcsBuilder b;
    b.version = "FCS3.1";
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "F").Add("$MODE", "L").Add("$NEXTDATA", "0");
    b.Add("$PAR", "3").Add("$TOT", "1");
    b.Add("$P1B", "32").Add("$P1E", "0,0").Add("$P1N", "FSC-A").Add("$P1R", "1024");
    b.Add("$P2B", "32").Add("$P2E", "0,0").Add("$P2N", "FL1-A").Add("$P2R", "1024");
    b.Add("$P2S", "CD3");
    b.Add("$P3B", "32").Add("$P3E", "0,0");
    b.dataKeywords = true;
    b.Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return b.Build();
}

TEST(PlotChoiceTest, ANewPlotIsAHistogramOnTheParametersDefaultScale) {
    auto r = ParseBytes(PlotFile());
    ASSERT_TRUE(r->parsed);
    const PlotChoice first = FirstChoice(r->first, 0);
    EXPECT_EQ(first.x, 0);
    EXPECT_FALSE(first.IsDensity());
    EXPECT_EQ(first.xScale, ScaleKind::kLinear);
    EXPECT_EQ(first.yScale, ScaleKind::kLogicle);  // preset from FL1-A, the next parameter
    EXPECT_EQ(FirstChoice(r->first, 1).xScale, ScaleKind::kLogicle);
}

TEST(PlotChoiceTest, TheRangeStaysWithTheParameterUnlessTheScaleCannotShowIt) {
    auto r = ParseBytes(PlotFile());
    ASSERT_TRUE(r->parsed);
    const AxisChoice linear = AxisFor(r->first, 1, ScaleKind::kLinear, kHistogramBins);
    EXPECT_EQ(linear.spec.scale.kind, ScaleKind::kLinear);
    EXPECT_EQ(linear.spec.low, 0);
    EXPECT_EQ(linear.spec.high, 1024);
    EXPECT_EQ(linear.spec.bins, kHistogramBins);
    // Log cannot start at 0: its own rule starts it 4.5 decades below the top.
    const AxisChoice log = AxisFor(r->first, 1, ScaleKind::kLog, kDensityBins);
    EXPECT_EQ(log.spec.high, 1024);
    EXPECT_DOUBLE_EQ(log.spec.low, 1024 / std::pow(10.0, kLogDefaultDecades));
    // Asinh takes its own default cofactor, whatever the parameter's default scale.
    const AxisChoice asinh = AxisFor(r->first, 0, ScaleKind::kAsinh, kHistogramBins);
    EXPECT_EQ(asinh.spec.scale.cofactor, kDefaultCofactor);
    EXPECT_EQ(asinh.spec.low, 0);
    // A parameter without $PnR waits for the data's range, whatever the scale.
    EXPECT_TRUE(AxisFor(r->first, 2, ScaleKind::kLog, kHistogramBins).rangeFromData);
}

TEST(PlotChoiceTest, RequestsAreAHistogramOrADensity) {
    PlotChoice choice;
    choice.x = 1;
    AxisSpec x;
    x.bins = 7;
    AxisSpec y;
    y.bins = 9;
    const CountingRequests histogram = RequestsFor(choice, x, y);
    ASSERT_EQ(histogram.histograms.size(), 1u);
    EXPECT_TRUE(histogram.densities.empty());
    EXPECT_EQ(histogram.histograms[0].parameter, 1);
    EXPECT_EQ(histogram.histograms[0].axis.bins, 7);
    choice.y = 0;
    const CountingRequests density = RequestsFor(choice, x, y);
    ASSERT_EQ(density.densities.size(), 1u);
    EXPECT_TRUE(density.histograms.empty());
    EXPECT_EQ(density.densities[0].xParameter, 1);
    EXPECT_EQ(density.densities[0].yParameter, 0);
    EXPECT_EQ(density.densities[0].y.bins, 9);
}

TEST(PlotChoiceTest, ParametersAreTitledByNameAndLabel) {
    auto r = ParseBytes(PlotFile());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(ParameterTitle(r->first, 0), L"FSC-A");
    EXPECT_EQ(ParameterTitle(r->first, 1), L"FL1-A (CD3)");
    EXPECT_EQ(ParameterName(r->first, 2), L"P3");  // no $P3N
}

}  // namespace
