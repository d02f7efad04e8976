// The table of an axis's positions by float bit pattern. Its thresholds are found by halving
// the range of keys with the axis's own Position, so a pattern's position is exactly the one
// Position gives its value: the table adds speed, never a second rule.
#include "SinglePositionTable.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr uint64_t kKeyCount = uint64_t{1} << 32;

}  // namespace

uint32_t SinglePositionTable::BitsOf(uint32_t key) {
    const uint32_t ordered = key + kNegativeNaNs;
    return (ordered >> 31) != 0 ? ordered & 0x7FFFFFFFu : ~ordered;
}

SinglePositionTable::SinglePositionTable(const Axis& axis)
    : invalid(static_cast<uint32_t>(axis.Above()) + 1) {
    const auto positionOf = [&](uint64_t key) {
        const uint32_t bits = BitsOf(static_cast<uint32_t>(key));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        const int32_t position = axis.Position(value);
        return position < 0 ? invalid : static_cast<uint32_t>(position);
    };
    // Positions never go down along the keys, so each threshold is found by halving the keys
    // from the one before it on.
    thresholds.resize(static_cast<size_t>(invalid) + 1);
    uint64_t from = 0;
    for (uint32_t p = 0; p < invalid; ++p) {
        uint64_t to = kKeyCount;
        while (from < to) {
            const uint64_t middle = from + (to - from) / 2;
            if (positionOf(middle) > p) {
                to = middle;
            } else {
                from = middle + 1;
            }
        }
        thresholds[p] = from;
    }
    thresholds[invalid] = kKeyCount;

    runs.resize(size_t{1} << (32 - kRunShift));
    size_t atFirst = 0;  // thresholds at or below the run's first key
    size_t atLast = 0;   // and at or below its last
    for (size_t r = 0; r < runs.size(); ++r) {
        const uint64_t first = static_cast<uint64_t>(r) << kRunShift;
        const uint64_t last = first + (uint64_t{1} << kRunShift) - 1;
        while (thresholds[atFirst] <= first) {
            ++atFirst;
        }
        // The runs before the next threshold's one hold no threshold: all begin alike.
        const size_t nextRun =
            static_cast<size_t>(std::min<uint64_t>(thresholds[atFirst] >> kRunShift, runs.size()));
        if (nextRun > r) {
            std::fill(runs.begin() + static_cast<std::ptrdiff_t>(r),
                      runs.begin() + static_cast<std::ptrdiff_t>(nextRun),
                      static_cast<uint32_t>(atFirst));
            r = nextRun - 1;
            continue;
        }
        atLast = std::max(atLast, atFirst);
        while (thresholds[atLast] <= last) {
            ++atLast;
        }
        runs[r] = static_cast<uint32_t>(atFirst) | (atLast - atFirst > 1 ? kSearchRun : 0);
    }
}
