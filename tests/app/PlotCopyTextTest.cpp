// The text of a plot's counts on the clipboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PlotCopyText.h"

namespace {

TEST(PlotCopyTextTest, EdgesAreTheShortestTextsThatReadBack) {
    for (double value : {0.1, 0.30000000000000004, 1e-300, 262144.0, -5.5e21, 1.0 / 3}) {
        const std::wstring text = ShortestDoubleText(value);
        EXPECT_EQ(std::wcstod(text.c_str(), nullptr), value) << value;
    }
    EXPECT_EQ(ShortestDoubleText(0.1), L"0.1");
    EXPECT_EQ(ShortestDoubleText(0.30000000000000004), L"0.30000000000000004");
    EXPECT_EQ(ShortestDoubleText(262144), L"262144");
    EXPECT_EQ(ShortestDoubleText(1e22), L"1e+22");
}

TEST(PlotCopyTextTest, AHistogramHasAHeadingAndOneLinePerBin) {
    const CopiedAxis x{L"FSC-A", L"linear", 0, 0.30000000000000004, {0, 0.1, 0.30000000000000004}};
    EXPECT_EQ(HistogramCountsText(x, {7, 0}),
              L"FSC-A\tlinear\t0\t0.30000000000000004\r\n"
              L"0\t0.1\t7\r\n"
              L"0.1\t0.30000000000000004\t0\r\n");
}

TEST(PlotCopyTextTest, ADensityListsItsRowsFromTheTopDown) {
    const CopiedAxis x{L"FSC-A", L"log", 1, 100, {1, 10, 100}};
    const CopiedAxis y{L"SSC-A", L"asinh C=150", -1, 1, {-1, 0, 1}};
    // Row 0 is the lowest bin up: 1 2, then 3 4 above it.
    EXPECT_EQ(DensityCountsText(x, y, {1, 2, 3, 4}),
              L"FSC-A\tlog\t1\t100\tSSC-A\tasinh C=150\t-1\t1\r\n"
              L"\t\t1\t10\t100\r\n"
              L"0\t1\t3\t4\r\n"
              L"-1\t0\t1\t2\r\n");
}

}  // namespace
