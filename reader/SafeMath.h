// Overflow-checked arithmetic for file positions and sizes. Every product or sum that a file's
// numbers can drive goes through these before it is used, so a hostile HEADER or TEXT segment
// cannot wrap an offset or an allocation size.
#pragma once

#include <cstdint>
#include <limits>

// True and the exact result when a + b fits; false (result untouched) otherwise.
inline bool CheckedAdd(int64_t a, int64_t b, int64_t& result) {
    return !__builtin_add_overflow(a, b, &result);
}

inline bool CheckedMul(int64_t a, int64_t b, int64_t& result) {
    return !__builtin_mul_overflow(a, b, &result);
}

// Sums that must stay ordered (later comparisons depend on them) saturate instead of failing.
inline int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t result;
    if (!__builtin_add_overflow(a, b, &result)) {
        return result;
    }
    return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

inline int64_t SaturatingSub(int64_t a, int64_t b) {
    int64_t result;
    if (!__builtin_sub_overflow(a, b, &result)) {
        return result;
    }
    return b < 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

inline int32_t ClampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}
