// The portable drawing of plots: bins to pixels, the density colours and their log mapping,
// tick placement per kind of scale, and the pixels of histograms and density maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "AxisTicks.h"
#include "DensityColours.h"
#include "PlotBins.h"
#include "PlotPainter.h"

namespace {

// ---- bins to pixels ---------------------------------------------------------------------

class BinsUnderPixelTest : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BinsUnderPixelTest, EveryBinShowsAndPixelsRunInOrder) {
    const int pixels = GetParam().first;
    const int bins = GetParam().second;
    std::vector<int> shown(static_cast<size_t>(bins), 0);
    int previousLast = 0;
    for (int pixel = 0; pixel < pixels; ++pixel) {
        const BinSpan span = BinsUnderPixel(pixel, pixels, bins);
        ASSERT_LT(span.first, span.last) << pixel;
        ASSERT_GE(span.first, 0);
        ASSERT_LE(span.last, bins);
        if (pixels >= bins) {
            EXPECT_EQ(span.last - span.first, 1);  // magnified: the bin under the centre
            EXPECT_GE(span.first, previousLast - 1);
        } else {
            EXPECT_EQ(span.first, previousLast);  // reduced: the bins partition
        }
        previousLast = span.last;
        for (int bin = span.first; bin < span.last; ++bin) {
            ++shown[static_cast<size_t>(bin)];
        }
    }
    EXPECT_EQ(BinsUnderPixel(0, pixels, bins).first, 0);
    EXPECT_EQ(BinsUnderPixel(pixels - 1, pixels, bins).last, bins);
    EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](int n) { return n > 0; }));
    if (pixels < bins) {
        EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](int n) { return n == 1; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes,
                         BinsUnderPixelTest,
                         testing::Values(std::make_pair(256, 256),
                                         std::make_pair(512, 256),
                                         std::make_pair(300, 256),
                                         std::make_pair(1000, 7),
                                         std::make_pair(100, 256),
                                         std::make_pair(255, 256),
                                         std::make_pair(1, 65536),
                                         std::make_pair(3000, 65536)));

TEST(PixelAtFractionTest, ClampsToTheAxis) {
    EXPECT_EQ(PixelAtFraction(-0.5, 200), 0);
    EXPECT_EQ(PixelAtFraction(std::nan(""), 200), 0);
    EXPECT_EQ(PixelAtFraction(0.5, 200), 100);
    EXPECT_EQ(PixelAtFraction(1.5, 200), 200);
}

// ---- the density colours ----------------------------------------------------------------

double Linear(uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct OkLab {
    double l, a, b;
};

// sRGB to OKLab: the inverse of the table's construction, so the test measures the colours the
// table really holds after rounding and clamping.
OkLab ToOkLab(Colour colour) {
    const double r = Linear(colour >> 16 & 0xFF);
    const double g = Linear(colour >> 8 & 0xFF);
    const double b = Linear(colour & 0xFF);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

TEST(DensityColoursTest, TheTableRisesInLightnessInEvenSteps) {
    const Colour* table = DensityColourTable();
    for (int i = 1; i < kDensityColourCount; ++i) {
        // Neighbours are closer than 8 bits per channel tell apart, so they may round to one
        // colour or even a shade darker, but never visibly darker.
        EXPECT_GE(ToOkLab(table[i]).l, ToOkLab(table[i - 1]).l - 0.002) << i;
    }
    // Steps of a sixteenth of the table look equally large: a table clipped by the sRGB gamut
    // or built in a space that is not even would be far from that.
    constexpr int kStride = 15;
    double smallest = 1;
    double largest = 0;
    for (int i = kStride; i < kDensityColourCount; i += kStride) {
        const OkLab before = ToOkLab(table[i - kStride]);
        const OkLab after = ToOkLab(table[i]);
        EXPECT_GT(after.l, before.l) << i;
        const double step = std::hypot(after.l - before.l, after.a - before.a, after.b - before.b);
        smallest = std::min(smallest, step);
        largest = std::max(largest, step);
    }
    EXPECT_LT(largest / smallest, 1.25) << smallest << " " << largest;
    EXPECT_NE(table[kDensityColourCount - 1], kEmptyBinColour);
    EXPECT_LT(ToOkLab(table[0]).l, 0.4);
}

TEST(DensityColoursTest, CountsMapThroughTheirLogarithm) {
    const DensityColourScale scale(1000000);
    EXPECT_EQ(scale.ColourOf(0), kEmptyBinColour);
    EXPECT_EQ(scale.LevelOf(1), 0);
    EXPECT_EQ(scale.LevelOf(1000), 128);  // half way in log terms
    EXPECT_EQ(scale.LevelOf(1000000), kDensityColourCount - 1);
    EXPECT_EQ(scale.ColourOf(1000000), DensityColourTable()[kDensityColourCount - 1]);
    int previous = -1;
    for (uint64_t count = 1; count <= 1000000; count = count * 3 / 2 + 1) {
        EXPECT_GE(scale.LevelOf(count), previous) << count;
        previous = scale.LevelOf(count);
    }
    // A count above the fullest (a partial picture's scale reused) stays on the table.
    EXPECT_EQ(scale.LevelOf(5000000), kDensityColourCount - 1);
    // A map whose bins hold at most one event shows them in the densest colour.
    EXPECT_EQ(DensityColourScale(1).LevelOf(1), kDensityColourCount - 1);
    EXPECT_EQ(DensityColourScale(0).LevelOf(0), -1);
}

// ---- ticks ------------------------------------------------------------------------------

std::vector<std::wstring> Labels(const std::vector<AxisTick>& ticks) {
    std::vector<std::wstring> labels;
    for (const AxisTick& tick : ticks) {
        if (!tick.label.empty()) {
            labels.push_back(tick.label);
        }
    }
    return labels;
}

AxisPosition LinearPosition(double lo, double hi) {
    return [=](double v) { return (v - lo) / (hi - lo); };
}

AxisPosition LogPosition(double lo, double hi) {
    return [=](double v) {
        return (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
    };
}

AxisPosition AsinhPosition(double lo, double hi, double cofactor) {
    return [=](double v) {
        return (std::asinh(v / cofactor) - std::asinh(lo / cofactor)) /
               (std::asinh(hi / cofactor) - std::asinh(lo / cofactor));
    };
}

TEST(AxisTicksTest, LinearAxesStepByRoundNumbers) {
    const auto ticks = PlaceTicks(TickStyle::kLinear, 0, 1024, LinearPosition(0, 1024), 0.05);
    EXPECT_EQ(Labels(ticks),
              (std::vector<std::wstring>{L"0", L"200", L"400", L"600", L"800", L"1000"}));
    EXPECT_DOUBLE_EQ(ticks[1].fraction, 200.0 / 1024);
    EXPECT_EQ(Labels(PlaceTicks(TickStyle::kLinear, -0.3, 0.3, LinearPosition(-0.3, 0.3), 0.05)),
              (std::vector<std::wstring>{L"-0.3", L"-0.2", L"-0.1", L"0", L"0.1", L"0.2", L"0.3"}));
    EXPECT_EQ(Labels(PlaceTicks(TickStyle::kLinear, 262144 - 3, 262144 + 3,
                                LinearPosition(262141, 262147), 0.05)),
              (std::vector<std::wstring>{L"262141", L"262142", L"262143", L"262144", L"262145",
                                         L"262146", L"262147"}));
}

TEST(AxisTicksTest, LogAxesShowDecadesWithUnlabelledMultiples) {
    const auto ticks = PlaceTicks(TickStyle::kDecades, 1, 262144, LogPosition(1, 262144), 0.05);
    EXPECT_EQ(Labels(ticks),
              (std::vector<std::wstring>{L"1", L"10", L"100", L"1000", L"10000", L"1e5"}));
    // 1..9 in each decade up to 2e5: nine ticks a decade, five decades, and 1e5, 2e5.
    EXPECT_EQ(ticks.size(), 5u * 9 + 2);
    EXPECT_TRUE(std::is_sorted(
        ticks.begin(), ticks.end(),
        [](const AxisTick& a, const AxisTick& b) { return a.fraction < b.fraction; }));
    EXPECT_DOUBLE_EQ(ticks.front().fraction, 0);
    // A range within a decade still gets the decade's multiples.
    const auto narrow = PlaceTicks(TickStyle::kDecades, 0.02, 0.08, LogPosition(0.02, 0.08), 0.05);
    EXPECT_EQ(narrow.size(), 7u);
    EXPECT_TRUE(Labels(narrow).empty());
}

TEST(AxisTicksTest, SymmetricScalesShowZeroAndDecadesOnBothSidesWithoutCrowding) {
    const double lo = -1000;
    const double hi = 262144;
    const double gap = 0.06;
    const auto ticks =
        PlaceTicks(TickStyle::kSymmetricDecades, lo, hi, AsinhPosition(lo, hi, 150), gap);
    const auto labels = Labels(ticks);
    EXPECT_NE(std::find(labels.begin(), labels.end(), L"0"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), L"-1000"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), L"1e5"), labels.end());
    std::vector<double> labelled;
    for (const AxisTick& tick : ticks) {
        EXPECT_GE(tick.value, lo);
        EXPECT_LE(tick.value, hi);
        if (!tick.label.empty()) {
            labelled.push_back(tick.fraction);
        }
    }
    for (size_t i = 1; i < labelled.size(); ++i) {
        EXPECT_GE(labelled[i] - labelled[i - 1], gap) << i;
    }
    // A range of positive values only has no negative ticks, and zero at its start.
    const auto positive =
        PlaceTicks(TickStyle::kSymmetricDecades, 0, hi, AsinhPosition(0, hi, 150), gap);
    EXPECT_EQ(positive.front().label, L"0");
    EXPECT_DOUBLE_EQ(positive.front().fraction, 0);
}

TEST(AxisTicksTest, LabelsAreShortAndNeverNegativeZero) {
    EXPECT_EQ(TickLabel(0.1 * 3), L"0.3");
    EXPECT_EQ(TickLabel(-0.0), L"0");
    EXPECT_EQ(TickLabel(262144), L"262144");
    EXPECT_EQ(RoundStep(1024, 6), 200);
    EXPECT_EQ(RoundStep(7, 5), 2);
    EXPECT_EQ(RoundStep(0.06, 6), 0.01);
}

TEST(AxisTicksTest, AnEmptyOrBrokenRangeHasNoTicks) {
    EXPECT_TRUE(PlaceTicks(TickStyle::kLinear, 5, 5, LinearPosition(0, 1), 0.05).empty());
    EXPECT_TRUE(
        PlaceTicks(TickStyle::kDecades, 1, std::nan(""), LinearPosition(0, 1), 0.05).empty());
}

// ---- pixels of a histogram and a density map --------------------------------------------

TEST(PlotPainterTest, HistogramBarsRiseToTheirCountsWithAnOutline) {
    PixelBuffer picture(6, 12, kWhite);
    const PixelRect area{1, 1, 5, 11};  // 4 columns, 10 rows
    PaintHistogram(picture, area, {0, 10, 5, 0}, 10);
    // Column 1 (bin 1) is full, column 2 half, columns 0 and 3 empty.
    for (int y = area.top; y < area.bottom; ++y) {
        EXPECT_EQ(picture.At(1, y), kWhite) << y;
        EXPECT_NE(picture.At(2, y), kWhite) << y;
        EXPECT_EQ(picture.At(3, y) != kWhite, y >= 6) << y;
        EXPECT_EQ(picture.At(4, y), kWhite) << y;
    }
    // The outline runs along each bar's top and down its sides to the lower neighbour.
    EXPECT_EQ(picture.At(2, 1), kHistogramOutline);
    EXPECT_EQ(picture.At(2, 10), kHistogramOutline);
    EXPECT_EQ(picture.At(3, 6), kHistogramOutline);
    EXPECT_EQ(picture.At(3, 10), kHistogramOutline);
    // Nothing outside the area.
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(picture.At(x, 0), kWhite);
        EXPECT_EQ(picture.At(x, 11), kWhite);
    }
}

TEST(PlotPainterTest, AWideBarIsFilledUnderItsOutlineAndCountsAboveTheTopAreCut) {
    PixelBuffer picture(3, 4, kWhite);
    PaintHistogram(picture, {0, 0, 3, 4}, {100, 100, 100}, 10);
    EXPECT_EQ(picture.At(1, 0), kHistogramOutline);
    EXPECT_EQ(picture.At(1, 3), kHistogramFill);
    EXPECT_EQ(picture.At(0, 3), kHistogramOutline);  // the left side
    EXPECT_EQ(picture.At(2, 3), kHistogramOutline);  // the right side
}

TEST(PlotPainterTest, CountAxisEndsOnARoundCount) {
    EXPECT_EQ(CountAxisTop(0), 1);
    EXPECT_EQ(CountAxisTop(7), 7);
    EXPECT_EQ(CountAxisTop(1000), 1000);
    EXPECT_EQ(CountAxisTop(1001), 1200);
    EXPECT_EQ(CountAxisTop(37421), 40000);
}

TEST(PlotPainterTest, DensityBinsTakeTheirColoursWithTheLowestRowAtTheBottom) {
    PixelBuffer picture(4, 4, kBlack);
    // Two bins across, two up: one event low left, a hundred high right.
    PaintDensity(picture, {0, 0, 4, 4}, {1, 0, 0, 100}, 2, 2);
    const Colour* table = DensityColourTable();
    EXPECT_EQ(picture.At(0, 3), table[0]);
    EXPECT_EQ(picture.At(1, 2), table[0]);
    EXPECT_EQ(picture.At(3, 0), table[kDensityColourCount - 1]);
    EXPECT_EQ(picture.At(0, 0), kEmptyBinColour);
    EXPECT_EQ(picture.At(3, 3), kEmptyBinColour);
}

TEST(PlotPainterTest, ASmallDensityMapKeepsASingleEvent) {
    // 256 x 256 bins in 50 x 50 pixels: the one event still colours its pixel.
    std::vector<uint64_t> counts(256 * 256, 0);
    counts[200 * 256 + 37] = 1;
    counts[0] = 5000;
    PixelBuffer picture(50, 50, kBlack);
    PaintDensity(picture, {0, 0, 50, 50}, counts, 256, 256);
    const int x = 37 * 50 / 256;
    const int y = 49 - 200 * 50 / 256;
    EXPECT_EQ(picture.At(x, y), DensityColourTable()[0]);
    int coloured = 0;
    for (int py = 0; py < 50; ++py) {
        for (int px = 0; px < 50; ++px) {
            coloured += picture.At(px, py) != kEmptyBinColour;
        }
    }
    EXPECT_EQ(coloured, 2);
}

TEST(PlotPainterTest, TheFrameStaysOutsideTheArea) {
    PixelBuffer picture(20, 20, kWhite);
    const PixelRect area{8, 2, 18, 12};
    const std::vector<AxisTick> ticks = {{0, 0, L"0"}, {5, 0.5, L""}, {10, 1, L"10"}};
    PaintFrame(picture, area, ticks, ticks);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            EXPECT_EQ(picture.At(x, y), kWhite) << x << "," << y;
        }
    }
    EXPECT_EQ(picture.At(area.left, area.bottom + kTickLength), kFrameColour);
    EXPECT_EQ(picture.At(area.right - 1, area.bottom + kTickLength), kFrameColour);
    EXPECT_EQ(picture.At(13, area.bottom + kTickLength), kWhite);  // a minor tick is shorter
    EXPECT_EQ(picture.At(area.left - 1 - kTickLength, area.bottom - 1), kFrameColour);
}

}  // namespace
