// Which of an axis's bins a pixel of the plot shows. A plot seldom has as many pixels across as
// the axis has bins: when it has more, each pixel shows the one bin under its centre; when it
// has fewer, each pixel shows the bins that fall in it (no bin is left out, so a narrow peak or a
// sparse population never drops out of a small window).
#pragma once

struct BinSpan {
    int first = 0;  // the first bin the pixel shows
    int last = 0;   // one past the last
};

// pixel counts from 0 to pixels - 1 along the axis; bins and pixels are positive.
BinSpan BinsUnderPixel(int pixel, int pixels, int bins);

// The pixel offset (0..pixels) at which a position along the axis falls, for a fraction 0..1 of
// its length; fractions outside are clamped.
int PixelAtFraction(double fraction, int pixels);
