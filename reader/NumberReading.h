// The two ways the reader takes numbers out of keyword values and HEADER fields. Digits that
// overflow saturate at the limits of the result type: the value is then absurd but defined,
// and the checks that follow treat it like any other out-of-range number.
#pragma once

#include <cstdint>

// Whole-value reading (as _wtoi): leading white space, an optional sign, decimal digits up to
// the first other character; 0 when there is no digit.
int32_t WholeValueInt32(const wchar_t* text);
int64_t WholeValueInt64(const wchar_t* text);

// Strict reading starting exactly at text: an optional '+' or '-', then at least one decimal
// digit. False when there is no number; otherwise value and end (the first character after the
// digits) are set.
bool StrictInt32(const wchar_t* text, int32_t& value, const wchar_t*& end);

// Accumulates one decimal digit onto a non-negative magnitude, saturating at max.
inline uint64_t AccumulateDigit(uint64_t magnitude, unsigned digit, uint64_t max) {
    if (magnitude > (max - digit) / 10) {
        return max;
    }
    return magnitude * 10 + digit;
}
