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
