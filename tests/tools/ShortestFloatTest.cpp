// The export's float texts against the library's shortest form, character for character: every
// float of a few whole binades, a million scattered bit patterns and the edges of the quick
// road. (The same comparison over all 2^32 patterns found no difference; it takes minutes.)
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "ShortestFloat.h"

namespace {

float FromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Empty when both texts agree, else the first difference.
std::string Compare(uint32_t first, uint32_t last) {
    for (uint64_t bits = first; bits <= last; ++bits) {
        const float value = FromBits(static_cast<uint32_t>(bits));
        if (std::isnan(value)) {
            continue;
        }
        char mine[40];
        char library[40];
        const std::string a(mine, WriteShortestFloat(mine, value));
        const std::string b(library, std::to_chars(library, library + sizeof library, value).ptr);
        if (a != b) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(bits));
            return std::string(hex) + ": " + a + " instead of " + b;
        }
    }
    return {};
}

uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(ShortestFloat, WholeBinadesReadAsTheLibraryWritesThem) {
    // One and minus one, a typical instrument's range, the last binade below 2^24 and the two
    // binades where the quick road begins.
    const float starts[] = {1.0f, -1.0f, 131072.0f, 8388608.0f, 2.9e-21f, 3.5e-21f};
    for (const float start : starts) {
        const uint32_t first = BitsOf(start) & 0xFF800000u;  // the binade's first float
        EXPECT_EQ(Compare(first, first + 0x7FFFFFu), "") << start;
    }
}

TEST(ShortestFloat, ScatteredPatternsAndTheEdgesOfTheQuickRoad) {
    // Every pattern once in a million steps of a full-period sequence.
    uint32_t bits = 1;
    for (int i = 0; i < 1000000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        ASSERT_EQ(Compare(bits, bits), "");
    }
    const float edges[] = {0.0f,
                           -0.0f,
                           std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           16777216.0f,
                           16777215.0f,
                           0.1f,
                           1e-5f,
                           123456.789f};
    for (const float edge : edges) {
        EXPECT_EQ(Compare(BitsOf(edge), BitsOf(edge)), "") << edge;
    }
}

}  // namespace
