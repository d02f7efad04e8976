// The colours of a density map: a table of colours whose steps look equally large to the eye,
// from a dark blue for the sparsest bins through teal and green to a light yellow for the
// densest, and white for a bin without events. Counts map to the table through their logarithm,
// so a population of a few dozen events stays visible beside one of millions.
#pragma once

#include <cstdint>

#include "PixelBuffer.h"

constexpr int kDensityColourCount = 256;
constexpr Colour kEmptyBinColour = kWhite;

// The table: entry 0 for the sparsest bins, the last for the densest.
const Colour* DensityColourTable();

// Maps counts to colours for a map whose fullest bin holds maxCount events.
class DensityColourScale {
public:
    explicit DensityColourScale(uint64_t maxCount);

    // kEmptyBinColour for 0; otherwise the table's entry for the count's logarithm relative to
    // the fullest bin's: a single event is entry 0, the fullest bin the last entry.
    Colour ColourOf(uint64_t count) const;
    int LevelOf(uint64_t count) const;  // -1 for an empty bin, else the table entry

private:
    double levelsPerLog = 0;  // table steps per unit of ln(count)
};
