// Decoding of one field of an event by data type and byte order, and its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedValue {
    enum Kind { kNone, kInteger, kReal };
    Kind kind = kNone;
    uint32_t integer = 0;
    double real = 0;
};

// A byte order whose first entry is above its last is read big-endian whenever it does not fit
// the field; every other order that does not fit is read little-endian.
bool ByteOrderRunsDownwards(const std::vector<int32_t>& byteOrder);

// Decodes the width bytes at field. Never reads outside field[0..width-1] or the byte order.
// Data types other than I, F and D, and F or D fields that are not 4 or 8 bytes wide, give kNone.
DecodedValue DecodeField(char dataType, const uint8_t* field, int32_t width,
                         const std::vector<int32_t>& byteOrder);

// Writes the value's text ("%u" for integers, "%0.15g" for reals, "nan" for every NaN,
// noValueText otherwise) into out, at most capacity - 1 characters and a terminating zero.
void FormatDecodedValue(const DecodedValue& value, const wchar_t* noValueText, wchar_t* out,
                        size_t capacity);
