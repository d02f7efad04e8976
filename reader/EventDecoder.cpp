// Field decoding. Where a file's byte order fits its fields the order is applied entry by
// entry; real files also pair 16- or 24-bit integers with 4,3,2,1 or wider fields with the
// default single entry 1, and those are read by the direction the order runs, never by
// indexing outside the field.
#include "EventDecoder.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "RealText.h"

// Every NaN reads "nan", whatever its sign bit and payload: what the program's C library prints
// on Windows, while glibc would print "-nan" for a negative one.
const char kNotANumberText[] = "nan";

namespace {

// Significant digits of a real's text: "%0.15g".
constexpr int kRealPrecision = 15;

bool EntriesWithin(const std::vector<int32_t>& byteOrder, int32_t count) {
    if (count < 0 || byteOrder.size() < static_cast<size_t>(count)) {
        return false;
    }
    for (int32_t k = 0; k < count; ++k) {
        if (byteOrder[static_cast<size_t>(k)] < 1 || byteOrder[static_cast<size_t>(k)] > count) {
            return false;
        }
    }
    return true;
}

// The formatting runs for every visible cell, so it uses to_chars, which gives exactly the text
// of printf's "%u" and "%0.15g" (infinities included) at a fraction of printf's cost. Both write
// into a buffer of kValueTextCapacity, far longer than the longest text (22 characters).
char* FormatInteger(uint64_t integer, char (&narrow)[kValueTextCapacity]) {
    return std::to_chars(narrow, narrow + kValueTextCapacity, integer).ptr;
}

char* FormatReal(double real, char (&narrow)[kValueTextCapacity]) {
    if (std::isnan(real)) {
        const size_t length = sizeof kNotANumberText - 1;
        std::memcpy(narrow, kNotANumberText, length);
        return narrow + length;
    }
    if (char* end = WriteRealText15(real, narrow)) {
        return end;
    }
    return std::to_chars(narrow, narrow + kValueTextCapacity, real, std::chars_format::general,
                         kRealPrecision)
        .ptr;
}

}  // namespace

bool ByteOrderRunsDownwards(const std::vector<int32_t>& byteOrder) {
    return !byteOrder.empty() && byteOrder.front() > byteOrder.back();
}

bool WidthFitsDataType(char dataType, int32_t width) {
    switch (dataType) {
        case 'I':
            return width >= 0 && width <= kMaxIntegerBytes;
        case 'F':
            return width == kSingleBytes;
        case 'D':
            return width == kDoubleBytes;
        default:
            return false;
    }
}

FieldDecoder::FieldDecoder(char dataType, int32_t width, const std::vector<int32_t>& byteOrder) {
    if (!WidthFitsDataType(dataType, width)) {
        return;
    }
    switch (dataType) {
        case 'I': {
            // The first byte taken ends up most significant. A byte order that does not fit the
            // field (FCS 3.1 and later only say little- or big-endian) gives the direction.
            kind = DecodedValue::kInteger;
            if (EntriesWithin(byteOrder, width)) {
                for (int32_t k = 0; k < width; ++k) {
                    taken[takenCount++] = width - byteOrder[static_cast<size_t>(k)];
                }
            } else if (ByteOrderRunsDownwards(byteOrder)) {
                for (int32_t j = 0; j < width; ++j) {
                    taken[takenCount++] = j;
                }
            } else {
                for (int32_t j = width - 1; j >= 0; --j) {
                    taken[takenCount++] = j;
                }
            }
            break;
        }
        case 'F':
        case 'D': {
            const int32_t size = width;
            kind = DecodedValue::kReal;
            single = dataType == 'F';
            // taken[k] is the byte that becomes byte k of the little-endian value.
            takenCount = size;
            const bool fits = EntriesWithin(byteOrder, size);
            const bool downwards = ByteOrderRunsDownwards(byteOrder);
            for (int32_t k = 0; k < size; ++k) {
                if (fits) {
                    taken[k] = byteOrder[static_cast<size_t>(k)] - 1;
                } else if (downwards) {
                    taken[k] = size - 1 - k;
                } else {
                    taken[k] = k;
                }
            }
            break;
        }
        default:
            break;
    }
}

float FieldDecoder::Single(const uint8_t* field) const {
    const uint32_t bits = static_cast<uint32_t>(RealBits(field));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double FieldDecoder::Double(const uint8_t* field) const {
    const uint64_t bits = RealBits(field);
    double real;
    std::memcpy(&real, &bits, sizeof real);
    return real;
}

DecodedValue FieldDecoder::Decode(const uint8_t* field) const {
    DecodedValue value;
    value.kind = kind;
    if (kind == DecodedValue::kInteger) {
        value.integer = Integer(field);
    } else if (kind == DecodedValue::kReal) {
        value.real = single ? Single(field) : Double(field);
    }
    return value;
}

char* FormatValueText(const DecodedValue& value, char (&narrow)[kValueTextCapacity]) {
    switch (value.kind) {
        case DecodedValue::kInteger:
            return FormatInteger(value.integer, narrow);
        case DecodedValue::kReal:
            return FormatReal(value.real, narrow);
        case DecodedValue::kNone:
            break;
    }
    return nullptr;
}

void FormatDecodedValue(const DecodedValue& value,
                        const wchar_t* noValueText,
                        wchar_t* out,
                        size_t capacity) {
    if (capacity == 0) {
        return;
    }
    char narrow[kValueTextCapacity];
    const char* const end = FormatValueText(value, narrow);
    size_t i = 0;
    if (end == nullptr) {
        for (; i + 1 < capacity && noValueText[i] != L'\0'; ++i) {
            out[i] = noValueText[i];
        }
    } else {
        // The formatted number is plain ASCII.
        for (const char* c = narrow; i + 1 < capacity && c != end; ++c, ++i) {
            out[i] = static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
    }
    out[i] = L'\0';
}
