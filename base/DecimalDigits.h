// The one scanner of decimal digits, for every number the program reads from outside: HEADER
// fields and keyword values of data files, and the Content-Length and the update answer of the
// update server. Digits that would overflow saturate, so no run of digits is undefined or wraps;
// what a saturated value means is the caller's rule.
#pragma once

#include <cstdint>

template <typename Char>
constexpr bool IsDecimalDigit(Char c) {
    return c >= Char('0') && c <= Char('9');
}

// Reads the run of decimal digits at cursor into value, which saturates at limit. The run ends
// at the first character that is no digit, or at end; a null end reads zero-terminated text up
// to its first non-digit. limit is at least 9. Returns the first character after the run: cursor
// itself when there is no digit (and value is then 0).
template <typename Char>
const Char* ScanDecimalDigits(const Char* cursor,
                              const Char* end,
                              uint64_t limit,
                              uint64_t& value) {
    value = 0;
    for (; cursor != end && IsDecimalDigit(*cursor); ++cursor) {
        const auto digit = static_cast<uint64_t>(*cursor - Char('0'));
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return cursor;
}
