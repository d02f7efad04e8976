// The shortest text that reads back to the same float. std::to_chars gives it too, but at about
// 380 instructions a value it is nearly all of an export's work. Here the common case (a normal
// float from about 3e-21 to below 2^24 that is no power of two, which is nearly every value of
// event data) is worked out exactly with integers, in about 240; every other float goes to the
// library.
//
// A float is c * 2^q, 2^23 <= c < 2^24 and q < 0 here. Every decimal strictly between the
// midpoints to its neighbours reads back to it, and the midpoints themselves do when c is even
// (a tie reads as the even neighbour). With k = floor(log10(2^q)) that interval is at least one
// and less than ten units of 10^k wide. In quarter units the value and the midpoints are
// X * 2^q * 10^-k = X * 5^-k / 2^(k - q) for X = 4c, 4c - 2 and 4c + 2: exact products of
// integers, shifted right, each kept as its floor with the lowest bit set when a set bit was
// shifted out, which is all that comparing it with multiples of four needs. The interval holds
// at most one multiple of ten units, which is then the shortest text; otherwise it holds one or
// two whole units, and the one nearer the value is taken (the even one on a tie), as the library
// does.
#include "ShortestFloat.h"

#include <charconv>
#include <cstdint>
#include <cstring>

// Compilers without 128-bit integers (32-bit targets) take the library's road for every float.
#if defined(__SIZEOF_INT128__)

namespace {

using Wide = unsigned __int128;

// The shift k - q stays below 64 for floats from about 3e-21 on (q from -91, k from -28); smaller
// ones go to the library. Down to there 5^-k times 4c + 2 (below 2^27) stays below 2^93.
constexpr int kMaxShift = 64;
constexpr int kMaxNegativeK = 28;

struct PowersOfFive {
    Wide value[kMaxNegativeK + 1] = {};
};

constexpr PowersOfFive MakePowersOfFive() {
    PowersOfFive powers;
    Wide p = 1;
    for (int j = 0; j <= kMaxNegativeK; ++j) {
        powers.value[j] = p;
        p *= 5;
    }
    return powers;
}

constexpr PowersOfFive kPowersOfFive = MakePowersOfFive();

// floor(q * log10(2)) for -149 <= q < 0.
constexpr int FloorLog10Pow2(int q) {
    return (q * 78913) >> 18;
}

// x shifted right by shift (0 <= shift < 64), its lowest bit set when any bit shifted out was
// set. The results used fit 64 bits: they are at most 4 * 10 * 2^24.
inline uint64_t ShiftRoundToOdd(Wide x, int shift) {
    const uint64_t low = static_cast<uint64_t>(x);
    const uint64_t high = static_cast<uint64_t>(x >> 64);
    // high << (64 - shift) in two steps, so that a shift of 0 moves nothing in.
    const uint64_t shifted = (low >> shift) | ((high << 1) << (63 - shift));
    const bool sticky = (low & ((uint64_t{1} << shift) - 1)) != 0;
    return shifted | (sticky ? 1 : 0);
}

constexpr uint32_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                     100000, 1000000, 10000000, 100000000, 1000000000};

int DigitCount(uint32_t n) {
    // From the bit length, one comparison decides between two digit counts.
    const int bitLength = 32 - __builtin_clz(n | 1);
    const int guess = (bitLength * 1233) >> 12;  // floor(bitLength * log10(2))
    return guess + (n >= kPowersOfTen[guess] ? 1 : 0);
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The digits of n backwards from end, two at a time.
void WriteDigitsBackwards(char* end, uint32_t n) {
    while (n >= 100) {
        const uint32_t pair = n % 100;
        n /= 100;
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * pair, 2);
    }
    if (n >= 10) {
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * n, 2);
    } else {
        *--end = static_cast<char>('0' + n);
    }
}

constexpr size_t kDigitBlock = 16;  // more than the nine digits of any n

// n * 10^exponent, n without trailing zeros, as to_chars writes it. out has room for 32.
char* WriteDecimal(char* out, uint32_t n, int exponent) {
    const int digits = DigitCount(n);
    const int scientificExponent = exponent + digits - 1;
    const int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int scientificLength = digits + (digits > 1 ? 1 : 0) + 4;  // e, sign, two digits
    const int whole = digits + exponent;  // digits before the point in fixed form
    const int fixedLength = exponent >= 0 ? whole : whole > 0 ? digits + 1 : 2 - exponent;
    if (fixedLength <= scientificLength) {
        if (exponent >= 0) {
            WriteDigitsBackwards(out + digits, n);
            for (int i = digits; i < whole; ++i) {
                out[i] = '0';
            }
        } else if (whole > 0) {
            // Copied in blocks of a fixed size, which compile to a few moves.
            char text[kDigitBlock * 2] = {};
            WriteDigitsBackwards(text + digits, n);
            std::memcpy(out, text, kDigitBlock);
            out[whole] = '.';
            std::memcpy(out + whole + 1, text + whole, kDigitBlock);
        } else {
            out[0] = '0';
            out[1] = '.';
            for (int i = 2; i < 2 - whole; ++i) {
                out[i] = '0';
            }
            WriteDigitsBackwards(out + fixedLength, n);
        }
        return out + fixedLength;
    }
    WriteDigitsBackwards(out + 1 + digits, n);
    out[0] = out[1];
    out[1] = '.';
    out += digits > 1 ? digits + 1 : 1;
    *out++ = 'e';
    *out++ = scientificExponent < 0 ? '-' : '+';
    *out++ = static_cast<char>('0' + magnitude / 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    return out;
}

}  // namespace

char* WriteShortestFloat(char* out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t exponentBits = (bits >> 23) & 0xFF;
    const uint32_t fraction = bits & 0x7FFFFF;
    // Zeros, subnormals, the values whose lower neighbour is nearer (a power of two), those of
    // 2^24 and more, infinities and NaNs: all rare in event data, all left to the library.
    const int q = static_cast<int>(exponentBits) - 150;
    const int k = FloorLog10Pow2(q);
    if (exponentBits == 0 || fraction == 0 || q >= 0 || k - q >= kMaxShift) {
        return std::to_chars(out, out + 32, value).ptr;
    }
    if (bits >> 31) {
        *out++ = '-';
    }
    const uint64_t c = fraction | (1u << 23);
    const Wide power = kPowersOfFive.value[-k];
    const int shift = k - q;
    const Wide middle = 4 * c * power;
    const uint64_t vb = ShiftRoundToOdd(middle, shift);
    const uint64_t vbl = ShiftRoundToOdd(middle - 2 * power, shift);
    const uint64_t vbr = ShiftRoundToOdd(middle + 2 * power, shift);
    const uint64_t out01 = c & 1;  // an odd c's midpoints read as its neighbours

    const uint64_t s = vb >> 2;
    const uint64_t sp10 = s / 10 * 10;
    const uint64_t tp10 = sp10 + 10;
    const bool lowerTenIn = vbl + out01 <= sp10 << 2;
    const bool upperTenIn = (tp10 << 2) + out01 <= vbr;
    uint64_t n;
    int exponent = k;
    if (lowerTenIn != upperTenIn) {
        n = lowerTenIn ? sp10 : tp10;
        while (n % 10 == 0) {
            n /= 10;
            ++exponent;
        }
    } else {
        const uint64_t t = s + 1;
        const bool sIn = vbl + out01 <= s << 2;
        const bool tIn = (t << 2) + out01 <= vbr;
        if (sIn != tIn) {
            n = sIn ? s : t;
        } else {
            const int64_t nearer = static_cast<int64_t>(vb) - static_cast<int64_t>((s + t) << 1);
            n = nearer < 0 || (nearer == 0 && (s & 1) == 0) ? s : t;
        }
    }
    return WriteDecimal(out, static_cast<uint32_t>(n), exponent);
}

#else

char* WriteShortestFloat(char* out, float value) {
    return std::to_chars(out, out + 32, value).ptr;
}

#endif
