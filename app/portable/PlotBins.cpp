// Bins and pixels along one axis, in 64-bit integers so that any window and bin count fit.
#include "PlotBins.h"

#include <cmath>
#include <cstdint>

BinSpan BinsUnderPixel(int pixel, int pixels, int bins) {
    const int64_t p = pixel;
    const int64_t w = pixels;
    const int64_t k = bins;
    if (w >= k) {
        const int bin = static_cast<int>(((2 * p + 1) * k) / (2 * w));
        return {bin, bin + 1};
    }
    // Floors of p*k/w partition the bins: each bin belongs to exactly one pixel.
    return {static_cast<int>(p * k / w), static_cast<int>((p + 1) * k / w)};
}

int PixelAtFraction(double fraction, int pixels) {
    if (!(fraction > 0)) {
        return 0;
    }
    if (fraction >= 1) {
        return pixels;
    }
    return static_cast<int>(std::lround(fraction * pixels));
}
