// Positions of single-precision values on an axis, looked up straight from their bit patterns,
// for the counting pass: most files hold their events as floats, and a float has only 2^32
// patterns, so an axis can say once where every one of them falls.
//
// Patterns are put in the order of their values (NaNs after +infinity), where an axis's
// positions never go down: below, the bins, above, then invalid. The table keeps, for each
// pattern, the least pattern of every position (its thresholds) and, for each run of 2^16
// patterns (1/128 of a binade), the position of the run's first pattern. A run holding at most
// one threshold is looked up with one comparison; one holding more (bins narrower than the run)
// searches them. The thresholds are found with the axis's own Position, so the table gives
// exactly what Position gives for the float's value, whatever the scale.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Axis.h"

class SinglePositionTable {
public:
    SinglePositionTable() = default;
    explicit SinglePositionTable(const Axis& axis);

    // The table's look-up, held by value in a loop over many events, so that its pointers stay
    // in registers whatever the loop stores.
    struct Lookup {
        const uint32_t* runs;
        const uint64_t* thresholds;
        const uint64_t* thresholdsEnd;

        // Axis::Position of the float with these bits, except that NaN is Invalid() rather
        // than Axis::kInvalid, so that a position is always an index into below, bins, above,
        // invalid.
        uint32_t Position(uint32_t bits) const {
            const uint32_t key = KeyOf(bits);
            const uint32_t run = runs[key >> kRunShift];
            if ((run & kSearchRun) != 0) {
                const uint32_t first = run & ~kSearchRun;
                return first + Search(thresholds + first, thresholdsEnd, key);
            }
            return run + (key >= thresholds[run] ? 1u : 0u);
        }
    };
    Lookup MakeLookup() const {
        return {runs.data(), thresholds.data(), thresholds.data() + thresholds.size()};
    }
    uint32_t Position(uint32_t bits) const { return MakeLookup().Position(bits); }
    uint32_t Invalid() const { return invalid; }

    // The order of values: -infinity is 0, +infinity 0xFF000001, and the NaNs follow it.
    static uint32_t KeyOf(uint32_t bits) {
        const uint32_t sign = static_cast<uint32_t>(static_cast<int32_t>(bits) >> 31);
        return (bits ^ (sign | 0x80000000u)) - kNegativeNaNs;
    }
    // The float whose key is key; the inverse of KeyOf.
    static uint32_t BitsOf(uint32_t key);

private:
    static constexpr int kRunShift = 16;
    static constexpr uint32_t kSearchRun = 0x80000000u;
    // Patterns of negative NaNs, which KeyOf moves from below -infinity to the top.
    static constexpr uint32_t kNegativeNaNs = 0x007FFFFFu;

    // How many thresholds from first on lie at or below key.
    static uint32_t Search(const uint64_t* first, const uint64_t* end, uint32_t key) {
        return static_cast<uint32_t>(std::upper_bound(first, end, uint64_t{key}) - first);
    }

    uint32_t invalid = 0;
    // thresholds[p]: the least key whose position is above p; past the last one, 2^32.
    std::vector<uint64_t> thresholds;
    // Position of each run's first key, kSearchRun when the run holds several thresholds.
    std::vector<uint32_t> runs;
};
