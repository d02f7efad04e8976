// Exact "%0.15g": a finite double is m * 2^e with an integer m; when e >= 0 it is the integer
// m << e, otherwise (m * 5^-e) / 10^-e, and either integer is rounded to fifteen digits with a
// division. Compilers without a 128-bit integer (32-bit targets) leave every value to the
// caller's library formatting.
#include "RealText.h"

#include <cstdint>
#include <cstring>

#if defined(__SIZEOF_INT128__)

namespace {

using Wide = unsigned __int128;

constexpr int kSignificantDigits = 15;
// printf's %g writes the exponent form when the decimal exponent is below this or at least the
// precision.
constexpr int kLowestFixedExponent = -4;
constexpr int kMaxPowerOfTen = 38;   // 10^38 < 2^128
constexpr int kMaxPowerOfFive = 55;  // 5^55 < 2^128
constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1075;  // of the integer mantissa
constexpr int kSubnormalExponent = -1074;
constexpr uint32_t kExponentMask = 0x7FF;

struct Powers {
    Wide ten[kMaxPowerOfTen + 1] = {};
    Wide five[kMaxPowerOfFive + 1] = {};
};

constexpr Powers MakePowers() {
    Powers powers;
    powers.ten[0] = 1;
    for (int i = 1; i <= kMaxPowerOfTen; ++i) {
        powers.ten[i] = powers.ten[i - 1] * 10;
    }
    powers.five[0] = 1;
    for (int i = 1; i <= kMaxPowerOfFive; ++i) {
        powers.five[i] = powers.five[i - 1] * 5;
    }
    return powers;
}

constexpr Powers kPowers = MakePowers();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int BitLength(Wide n) {
    const uint64_t high = static_cast<uint64_t>(n >> 64);
    const uint64_t low = static_cast<uint64_t>(n);
    if (high != 0) {
        return 128 - __builtin_clzll(high);
    }
    return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// Decimal digits of n >= 1. 1233 / 4096 is log10(2) rounded down closely enough that the
// estimate is floor(bits * log10(2)) for every bit length up to 128.
int DigitCount(Wide n) {
    const int estimate = (BitLength(n) * 1233) >> 12;
    return estimate + (estimate <= kMaxPowerOfTen && n >= kPowers.ten[estimate] ? 1 : 0);
}

char* WriteExponent(char* out, int exponent) {
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100) {
        *out++ = static_cast<char>('0' + magnitude / 100);
    }
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    return out;
}

}  // namespace

char* WriteRealText15(double value, char* out) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t exponentField = static_cast<uint32_t>(bits >> kMantissaBits) & kExponentMask;
    const uint64_t fraction = bits & ((uint64_t{1} << kMantissaBits) - 1);
    if (exponentField == kExponentMask) {
        return nullptr;
    }
    if ((bits >> 63) != 0) {
        *out++ = '-';
    }
    if (exponentField == 0 && fraction == 0) {
        *out++ = '0';
        return out;
    }
    uint64_t mantissa = fraction;
    int exponent = kSubnormalExponent;
    if (exponentField != 0) {
        mantissa |= uint64_t{1} << kMantissaBits;
        exponent = static_cast<int>(exponentField) - kExponentBias;
    }
    const int zeros = __builtin_ctzll(mantissa);
    mantissa >>= zeros;
    exponent += zeros;

    // value = scaled / 10^fractionDigits exactly.
    Wide scaled = 0;
    int fractionDigits = 0;
    if (exponent >= 0) {
        if (exponent > 127 - BitLength(mantissa)) {
            return nullptr;
        }
        scaled = static_cast<Wide>(mantissa) << exponent;
    } else {
        fractionDigits = -exponent;
        if (fractionDigits > kMaxPowerOfFive ||
            __builtin_mul_overflow(static_cast<Wide>(mantissa), kPowers.five[fractionDigits],
                                   &scaled)) {
            return nullptr;
        }
    }
    const int digitCount = DigitCount(scaled);
    int decimalExponent = digitCount - 1 - fractionDigits;  // of the leading digit
    uint64_t significand = 0;
    if (digitCount > kSignificantDigits) {
        const Wide divisor = kPowers.ten[digitCount - kSignificantDigits];
        Wide kept = scaled / divisor;
        const Wide rest = scaled % divisor;
        const Wide half = divisor / 2;
        if (rest > half || (rest == half && (kept & 1) != 0)) {
            ++kept;
            if (kept == kPowers.ten[kSignificantDigits]) {
                kept = kPowers.ten[kSignificantDigits - 1];
                ++decimalExponent;
            }
        }
        significand = static_cast<uint64_t>(kept);
    } else {
        significand = static_cast<uint64_t>(scaled);
    }
    while (significand % 10 == 0) {
        significand /= 10;
    }
    // The significant digits, first to last, two at a time.
    char digits[kSignificantDigits + 1] = {};
    int length = DigitCount(significand);
    for (int position = length; significand != 0;) {
        if (significand >= 10) {
            position -= 2;
            std::memcpy(digits + position, kDigitPairs + 2 * (significand % 100), 2);
            significand /= 100;
        } else {
            digits[--position] = static_cast<char>('0' + significand);
            significand = 0;
        }
    }
    const auto copy = [&out](const char* from, int count) {
        std::memcpy(out, from, static_cast<size_t>(count));
        out += count;
    };
    if (decimalExponent < kLowestFixedExponent || decimalExponent >= kSignificantDigits) {
        *out++ = digits[0];
        if (length > 1) {
            *out++ = '.';
            copy(digits + 1, length - 1);
        }
        return WriteExponent(out, decimalExponent);
    }
    if (decimalExponent < 0) {
        copy("0.000", 1 - decimalExponent);
        copy(digits, length);
        return out;
    }
    const int integerDigits = decimalExponent + 1;
    if (length <= integerDigits) {
        copy(digits, length);
        std::memset(out, '0', static_cast<size_t>(integerDigits - length));
        return out + (integerDigits - length);
    }
    copy(digits, integerDigits);
    *out++ = '.';
    copy(digits + integerDigits, length - integerDigits);
    return out;
}

#else

char* WriteRealText15(double, char*) {
    return nullptr;
}

#endif
