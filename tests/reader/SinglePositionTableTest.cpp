// The table that bins floats by their bit patterns: it must give, for every pattern, exactly the
// position the axis gives the float's value. Checked at the patterns where it could go wrong
// (every pattern near every edge and near the ends of the range, NaNs of both signs, the
// infinities, both zeros, the largest and smallest floats), on runs of patterns narrower than
// the bins and wider than them, and on random patterns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Axis.h"
#include "AxisSpecs.h"
#include "SinglePositionTable.h"

namespace {

float FloatOf(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The axis's own answer, with NaN at the index the table gives it.
uint32_t Expected(const Axis& axis, uint32_t bits) {
    const int32_t position = axis.Position(FloatOf(bits));
    return position == Axis::kInvalid ? static_cast<uint32_t>(axis.Above()) + 1
                                      : static_cast<uint32_t>(position);
}

// Axes whose bins are wider than the table's runs, as wide, and much narrower, on every scale.
std::vector<AxisSpec> Axes() {
    return {
        Spec(ScaleKind::kLinear, 0, 262144, 256),  Spec(ScaleKind::kLinear, 0, 262144, 65536),
        Spec(ScaleKind::kLinear, -1, 1, 1000),     Spec(ScaleKind::kLinear, -3e38, 3e38, 7),
        Spec(ScaleKind::kLogicle, 0, 262144, 256), Spec(ScaleKind::kLogicle, -500, 262144, 1024),
        Spec(ScaleKind::kLog, 1, 1e6, 100),        Spec(ScaleKind::kLog, 1e-30, 1e30, 60000),
        Spec(ScaleKind::kAsinh, -1000, 1e5, 300)};
}

std::string Describe(const AxisSpec& spec) {
    return std::string(ScaleName(spec.scale.kind)) + " " + std::to_string(spec.low) + ":" +
           std::to_string(spec.high) + " / " + std::to_string(spec.bins);
}

TEST(SinglePositionTable, KeysFollowTheValuesAndPutEveryNaNAboveInfinity) {
    std::mt19937 random(7);
    const uint32_t infinity = SinglePositionTable::KeyOf(0x7F800000u);
    EXPECT_EQ(SinglePositionTable::KeyOf(0xFF800000u), 0u);  // -infinity first
    for (int i = 0; i < 200000; ++i) {
        const uint32_t a = random();
        const uint32_t b = random();
        EXPECT_EQ(SinglePositionTable::BitsOf(SinglePositionTable::KeyOf(a)), a);
        const float fa = FloatOf(a);
        const float fb = FloatOf(b);
        if (std::isnan(fa)) {
            EXPECT_GT(SinglePositionTable::KeyOf(a), infinity);
        } else if (!std::isnan(fb) && fa < fb) {
            EXPECT_LT(SinglePositionTable::KeyOf(a), SinglePositionTable::KeyOf(b));
        }
    }
    // The zeros are neighbours: nothing lies between them.
    EXPECT_EQ(SinglePositionTable::KeyOf(0x80000000u) + 1, SinglePositionTable::KeyOf(0));
}

TEST(SinglePositionTable, EveryPatternNearEachEdgeAndEverySpecialValueFallsWhereTheAxisSays) {
    const float infinity = std::numeric_limits<float>::infinity();
    const uint32_t specials[] = {0x00000000u, 0x80000000u, 0x00000001u, 0x80000001u,
                                 0x007FFFFFu, 0x00800000u, 0x7F7FFFFFu, 0xFF7FFFFFu,
                                 0x7F800000u, 0xFF800000u, 0x7F800001u, 0xFF800001u,
                                 0x7FC00000u, 0xFFC00000u, 0x7FFFFFFFu, 0xFFFFFFFFu};
    for (const AxisSpec& spec : Axes()) {
        ASSERT_TRUE(CheckAxis(spec).Ok()) << Describe(spec);
        const Axis axis(spec);
        const SinglePositionTable table(axis);
        EXPECT_EQ(table.Invalid(), static_cast<uint32_t>(spec.bins) + 2);
        for (uint32_t bits : specials) {
            EXPECT_EQ(table.Position(bits), Expected(axis, bits))
                << Describe(spec) << " bits " << std::hex << bits;
        }
        EXPECT_EQ(table.Position(BitsOf(-infinity)), static_cast<uint32_t>(Axis::kBelow));
        EXPECT_EQ(table.Position(BitsOf(infinity)), static_cast<uint32_t>(axis.Above()));
        // Forty patterns either side of the float nearest each edge: the edges in data space,
        // and so the ends of the range.
        size_t mismatches = 0;
        for (double edge : axis.Edges()) {
            const uint32_t key = SinglePositionTable::KeyOf(BitsOf(static_cast<float>(edge)));
            for (uint32_t k = key - 40; k != key + 41; ++k) {
                const uint32_t bits = SinglePositionTable::BitsOf(k);
                if (table.Position(bits) != Expected(axis, bits)) {
                    ++mismatches;
                    ADD_FAILURE() << Describe(spec) << " near edge " << edge << " bits " << std::hex
                                  << bits;
                }
            }
            if (mismatches > 10) {
                break;
            }
        }
    }
}

TEST(SinglePositionTable, RandomPatternsAndValuesInTheRangeFallWhereTheAxisSays) {
    std::mt19937 random(11);
    for (const AxisSpec& spec : Axes()) {
        const Axis axis(spec);
        const SinglePositionTable table(axis);
        std::uniform_real_distribution<double> inRange(spec.low - (spec.high - spec.low) / 8,
                                                       spec.high + (spec.high - spec.low) / 8);
        size_t mismatches = 0;
        for (int i = 0; i < 100000 && mismatches < 10; ++i) {
            const uint32_t bits = i % 2 == 0 ? static_cast<uint32_t>(random())
                                             : BitsOf(static_cast<float>(inRange(random)));
            if (table.Position(bits) != Expected(axis, bits)) {
                ++mismatches;
                ADD_FAILURE() << Describe(spec) << " bits " << std::hex << bits;
            }
        }
    }
}

TEST(SinglePositionTable, AnAxisThatCannotBeMadeCountsEveryPatternAsInvalid) {
    AxisSpec spec = Spec(ScaleKind::kLinear, 5, 1, 10);  // low above high
    const Axis axis(spec);
    const SinglePositionTable table(axis);
    for (uint32_t bits : {0x00000000u, 0x3F800000u, 0x7F800000u, 0xFF800000u, 0x7FC00000u}) {
        EXPECT_EQ(table.Position(bits), table.Invalid()) << std::hex << bits;
    }
}

}  // namespace
