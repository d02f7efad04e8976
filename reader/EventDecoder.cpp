// Field decoding. Where a file's byte order fits its fields the order is applied entry by
// entry; real files also pair 16- or 24-bit integers with 4,3,2,1 or wider fields with the
// default single entry 1, and those are read by the direction the order runs, never by
// indexing outside the field.
#include "EventDecoder.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t kIntegerSize = 4;
constexpr int32_t kSingleSize = 4;
constexpr int32_t kDoubleSize = 8;
constexpr size_t kFormatBufferSize = 64;
// Significant digits of a real's text: "%0.15g".
constexpr int kRealPrecision = 15;
// Every NaN reads "nan", whatever its sign bit and payload: what the program's C library prints
// on Windows, while glibc would print "-nan" for a negative one.
constexpr char kNotANumberText[] = "nan";

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

uint32_t DecodeInteger(const uint8_t* field, int32_t width, const std::vector<int32_t>& order) {
    // The first byte taken ends up most significant and only the last four taken remain, so
    // the bytes taken before those need not be visited at all.
    const int32_t firstKept = width > kIntegerSize ? width - kIntegerSize : 0;
    uint32_t v = 0;
    if (EntriesWithin(order, width)) {
        for (int32_t k = firstKept; k < width; ++k) {
            v = (v << 8) | field[width - order[static_cast<size_t>(k)]];
        }
    } else if (ByteOrderRunsDownwards(order)) {
        for (int32_t j = firstKept; j < width; ++j) {
            v = (v << 8) | field[j];
        }
    } else {
        for (int32_t j = width - 1 - firstKept; j >= 0; --j) {
            v = (v << 8) | field[j];
        }
    }
    return v;
}

// Gathers size bytes into t with t[0] least significant.
void GatherReal(const uint8_t* field, int32_t size, const std::vector<int32_t>& order,
                uint8_t* t) {
    if (EntriesWithin(order, size)) {
        for (int32_t k = 0; k < size; ++k) {
            t[k] = field[order[static_cast<size_t>(k)] - 1];
        }
    } else if (ByteOrderRunsDownwards(order)) {
        for (int32_t k = 0; k < size; ++k) {
            t[k] = field[size - 1 - k];
        }
    } else {
        std::memcpy(t, field, static_cast<size_t>(size));
    }
}

// Assembles little-endian bytes into an integer of the real's size, independent of the host.
template <typename Bits>
Bits LittleEndianBits(const uint8_t* t) {
    Bits bits = 0;
    for (size_t k = sizeof(Bits); k-- > 0;) {
        bits = static_cast<Bits>((bits << 8) | t[k]);
    }
    return bits;
}

// The formatting runs for every visible cell, so it uses to_chars, which gives exactly the text
// of printf's "%u" and "%0.15g" (infinities included) at a fraction of printf's cost. Both write
// into a zeroed buffer of kFormatBufferSize, far longer than the longest text (22 characters).
void FormatInteger(uint32_t integer, char (&narrow)[kFormatBufferSize]) {
    std::to_chars(narrow, narrow + kFormatBufferSize - 1, integer);
}

void FormatReal(double real, char (&narrow)[kFormatBufferSize]) {
    if (std::isnan(real)) {
        std::memcpy(narrow, kNotANumberText, sizeof kNotANumberText);
        return;
    }
    std::to_chars(narrow, narrow + kFormatBufferSize - 1, real, std::chars_format::general,
                  kRealPrecision);
}

}  // namespace

bool ByteOrderRunsDownwards(const std::vector<int32_t>& byteOrder) {
    return !byteOrder.empty() && byteOrder.front() > byteOrder.back();
}

DecodedValue DecodeField(char dataType, const uint8_t* field, int32_t width,
                         const std::vector<int32_t>& byteOrder) {
    DecodedValue value;
    if (width < 0) {
        return value;
    }
    switch (dataType) {
    case 'I':
        value.kind = DecodedValue::kInteger;
        value.integer = DecodeInteger(field, width, byteOrder);
        break;
    case 'F':
        if (width == kSingleSize) {
            uint8_t t[kSingleSize];
            GatherReal(field, kSingleSize, byteOrder, t);
            const uint32_t bits = LittleEndianBits<uint32_t>(t);
            float single;
            std::memcpy(&single, &bits, sizeof single);
            value.kind = DecodedValue::kReal;
            value.real = single;
        }
        break;
    case 'D':
        if (width == kDoubleSize) {
            uint8_t t[kDoubleSize];
            GatherReal(field, kDoubleSize, byteOrder, t);
            const uint64_t bits = LittleEndianBits<uint64_t>(t);
            double real;
            std::memcpy(&real, &bits, sizeof real);
            value.kind = DecodedValue::kReal;
            value.real = real;
        }
        break;
    default:
        break;
    }
    return value;
}

void FormatDecodedValue(const DecodedValue& value, const wchar_t* noValueText, wchar_t* out,
                        size_t capacity) {
    if (capacity == 0) {
        return;
    }
    char narrow[kFormatBufferSize] = {};
    const wchar_t* source = nullptr;
    switch (value.kind) {
    case DecodedValue::kInteger:
        FormatInteger(value.integer, narrow);
        break;
    case DecodedValue::kReal:
        FormatReal(value.real, narrow);
        break;
    case DecodedValue::kNone:
        source = noValueText;
        break;
    }
    size_t i = 0;
    if (source != nullptr) {
        for (; i + 1 < capacity && source[i] != L'\0'; ++i) {
            out[i] = source[i];
        }
    } else {
        // The formatted number is plain ASCII.
        for (; i + 1 < capacity && narrow[i] != '\0'; ++i) {
            out[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
        }
    }
    out[i] = L'\0';
}
