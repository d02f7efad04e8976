// The exact fifteen-digit text of reals against the C library's printf "%.15g": every value it
// writes must be printf's text, over random bit patterns of every magnitude, single-precision
// values, integers, and decimal ties, which round to an even last digit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "RealText.h"

namespace {

std::string Printed(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// The fast text when there is one; the caller counts how many values had one.
bool Matches(double value, int& written) {
    char text[64];
    char* end = WriteRealText15(value, text);
    if (end == nullptr) {
        return true;
    }
    ++written;
    const std::string fast(text, end);
    EXPECT_EQ(fast, Printed(value)) << "bits " << std::hexfloat << value;
    return fast == Printed(value);
}

double FromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#if defined(__SIZEOF_INT128__)

TEST(RealText, RandomValuesOfEveryMagnitudeReadAsPrintfWritesThem) {
    std::mt19937_64 random(20261207);
    int written = 0;
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        // Short binary fractions as well as full 52-bit ones.
        const uint64_t shortened = bits & ~((uint64_t{1} << (random() % 53)) - 1);
        if (!Matches(FromBits(bits), written) || !Matches(FromBits(shortened), written)) {
            break;
        }
    }
    EXPECT_GT(written, 20000);
}

TEST(RealText, SinglePrecisionValuesReadAsPrintfWritesThem) {
    std::mt19937 random(7);
    int written = 0;
    int tried = 0;
    for (int i = 0; i < 300000; ++i) {
        float single;
        const uint32_t bits = random();
        std::memcpy(&single, &bits, sizeof single);
        if (!std::isfinite(single)) {
            continue;
        }
        ++tried;
        if (!Matches(single, written)) {
            break;
        }
    }
    // Every single-precision value from about 1e-7 up has an exact fast text.
    EXPECT_GT(written, tried / 2);
    for (const float single : {0.1f, 1.1f, 2.1f, 262143.99f, 1e-7f, 3.4028235e38f, 1e-45f}) {
        Matches(single, written);
    }
}

TEST(RealText, TiesRoundToEvenAndCarriesMoveTheExponent) {
    int written = 0;
    const double cases[] = {
        1000000000000005.0,   9007199254740995.0, 1000000000000015.0, 100000000000000.5,
        100000000000001.5,    999999999999999.5,  9999999999999995.0, 0.5,
        2.5,                  1e15,               1e14,               123456789012345.0,
        999999999999999.0,    1e-4,               9.99999999999999e-5, 0.0001000000000000005,
        -0.0,                 0.0,                -1.5,               1e300,
        4.9406564584124654e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1e22,
        123.456,              -98765.4321};
    for (const double value : cases) {
        Matches(value, written);
    }
    for (int64_t n = 1; n < 20000; ++n) {
        Matches(static_cast<double>(n) * 0.5, written);
        Matches(static_cast<double>(n * 1000000000003LL), written);
        Matches(std::ldexp(static_cast<double>(n), -20), written);
    }
    EXPECT_GT(written, 50000);
}

#endif

TEST(RealText, InfinitiesAndNaNAreLeftToTheCaller) {
    char text[64];
    EXPECT_EQ(WriteRealText15(std::numeric_limits<double>::infinity(), text), nullptr);
    EXPECT_EQ(WriteRealText15(-std::numeric_limits<double>::infinity(), text), nullptr);
    EXPECT_EQ(WriteRealText15(std::numeric_limits<double>::quiet_NaN(), text), nullptr);
}

}  // namespace
